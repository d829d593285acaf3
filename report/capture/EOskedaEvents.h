// The events of the reporting sequence and their three ways of delivery, in this order: the
// procedure of that name exported by the module in which the exception arose, every
// registered handler object (newest first, each with its own switch per event), and one
// process-wide handler per event.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

struct TOskedaExceptionRecord {
  const std::exception_ptr* Exception = nullptr;
  std::uint32_t Address = 0;
  std::uint32_t ThreadId = 0;
  void* Module = nullptr;  // the module in which the exception arose
};

enum TOskedaEvent : int {
  evExceptionNotify = 0,
  evExceptionActionNotify = 1,
  evExceptionErrorNotify = 2,
  evCustomDataRequest = 3,
  evAttachedFilesRequest = 4,
  evCustomFieldsRequest = 5,
  OskedaEventCount = 6
};

// The actions announced by the action event.
enum TOskedaAction : int {
  atShowDialog = 0,
  atSaveLog = 1,
  atSendReport = 2,
  atTerminate = 3,
  atBeforeEmail = 4,
  atAfterEmail = 5,  // also the action of a failed e-mail attempt
  atBeforeWeb = 6,
  atAfterWeb = 7,  // also the action of a failed upload
};

// The procedures, as modules export them under their event names and as the process-wide
// handlers are set: the C calling convention (cdecl, the default of this target), the record
// first, the variable parameter last.
using TExceptionNotifyProc = void(const TOskedaExceptionRecord* record, bool* handle);
using TExceptionActionNotifyProc = void(const TOskedaExceptionRecord* record, int action,
                                        bool* execute);
// A handler sets retry to ask for another attempt of the failed action.
using TExceptionErrorNotifyProc = void(const TOskedaExceptionRecord* record, int action,
                                       const char* message, bool* retry);
// data holds the text asked for; a handler appends to it or replaces it.
using TCustomDataRequestProc = void(const TOskedaExceptionRecord* record, std::string* data);
// files holds the full paths to attach; a handler appends to it.
using TAttachedFilesRequestProc = void(const TOskedaExceptionRecord* record,
                                       std::vector<std::string>* files);
// The fields of a web upload, names and values side by side; a handler appends to both.
using TCustomFieldsRequestProc = void(const TOskedaExceptionRecord* record,
                                      std::vector<std::string>* names,
                                      std::vector<std::string>* values);

extern const char* const OskedaEventExportNames[OskedaEventCount];

// A handler object. Its switches are all on at first.
class TOskedaLogHandler {
 public:
  TOskedaLogHandler();
  virtual ~TOskedaLogHandler();
  TOskedaLogHandler(const TOskedaLogHandler&) = delete;
  TOskedaLogHandler& operator=(const TOskedaLogHandler&) = delete;

  bool Enabled[OskedaEventCount];
  virtual void ExceptionNotify(const TOskedaExceptionRecord&, bool& /*handle*/) {}
  virtual void ExceptionActionNotify(const TOskedaExceptionRecord&, int /*action*/,
                                     bool& /*execute*/) {}
  virtual void ExceptionErrorNotify(const TOskedaExceptionRecord&, int /*action*/,
                                    const std::string& /*message*/, bool& /*retry*/) {}
  virtual void CustomDataRequest(const TOskedaExceptionRecord&, std::string& /*data*/) {}
  virtual void AttachedFilesRequest(const TOskedaExceptionRecord&,
                                    std::vector<std::string>& /*files*/) {}
  virtual void CustomFieldsRequest(const TOskedaExceptionRecord&,
                                   std::vector<std::string>& /*names*/,
                                   std::vector<std::string>& /*values*/) {}
};

// The process's handler list (TOskedaLogList). Handler objects register themselves while
// they live.
void RegisterOskedaLogHandler(TOskedaLogHandler* handler);
void UnregisterOskedaLogHandler(TOskedaLogHandler* handler);

struct TOskedaProcessHandlers {
  TExceptionNotifyProc* ExceptionNotify = nullptr;
  TExceptionActionNotifyProc* ExceptionActionNotify = nullptr;
  TExceptionErrorNotifyProc* ExceptionErrorNotify = nullptr;
  TCustomDataRequestProc* CustomDataRequest = nullptr;
  TAttachedFilesRequestProc* AttachedFilesRequest = nullptr;
  TCustomFieldsRequestProc* CustomFieldsRequest = nullptr;
};
// The one process-wide handler per event.
TOskedaProcessHandlers& OskedaProcessHandlers();

// The delivery of each event; the module's exports are given by the caller (null: none).
void DeliverExceptionNotify(const TOskedaExceptionRecord& record, TExceptionNotifyProc* exported,
                            bool& handle);
void DeliverExceptionActionNotify(const TOskedaExceptionRecord& record,
                                  TExceptionActionNotifyProc* exported, int action, bool& execute);
void DeliverExceptionErrorNotify(const TOskedaExceptionRecord& record,
                                 TExceptionErrorNotifyProc* exported, int action,
                                 const std::string& message, bool& retry);
void DeliverCustomDataRequest(const TOskedaExceptionRecord& record,
                              TCustomDataRequestProc* exported, std::string& data);
void DeliverAttachedFilesRequest(const TOskedaExceptionRecord& record,
                                 TAttachedFilesRequestProc* exported,
                                 std::vector<std::string>& files);
void DeliverCustomFieldsRequest(const TOskedaExceptionRecord& record,
                                TCustomFieldsRequestProc* exported,
                                std::vector<std::string>& names, std::vector<std::string>& values);
