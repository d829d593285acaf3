#include "report/capture/EOskedaEvents.h"

#include <algorithm>
#include <mutex>

const char* const OskedaEventExportNames[OskedaEventCount] = {
    "OskedaLog_ExceptionNotifyEvent", "OskedaLog_ExceptionActionNotifyEvent",
    "OskedaLog_ExceptionErrorNotifyEvent", "OskedaLog_CustomDataRequestEvent",
    "OskedaLog_AttachedFilesRequestEvent", "OskedaLog_CustomFieldsRequestEvent"};

namespace {

std::recursive_mutex& ListLock() {
  static std::recursive_mutex lock;
  return lock;
}

std::vector<TOskedaLogHandler*>& Handlers() {
  static std::vector<TOskedaLogHandler*> handlers;
  return handlers;
}

// The handlers with that event switched on, newest first, copied so that a handler may
// unregister itself while it runs.
std::vector<TOskedaLogHandler*> EnabledHandlers(TOskedaEvent event) {
  std::lock_guard guard(ListLock());
  std::vector<TOskedaLogHandler*> chosen;
  for (auto it = Handlers().rbegin(); it != Handlers().rend(); ++it)
    if ((*it)->Enabled[event]) chosen.push_back(*it);
  return chosen;
}

}  // namespace

TOskedaLogHandler::TOskedaLogHandler() { std::fill(std::begin(Enabled), std::end(Enabled), true); }

TOskedaLogHandler::~TOskedaLogHandler() { UnregisterOskedaLogHandler(this); }

void RegisterOskedaLogHandler(TOskedaLogHandler* handler) {
  std::lock_guard guard(ListLock());
  if (handler && std::find(Handlers().begin(), Handlers().end(), handler) == Handlers().end())
    Handlers().push_back(handler);
}

void UnregisterOskedaLogHandler(TOskedaLogHandler* handler) {
  std::lock_guard guard(ListLock());
  std::erase(Handlers(), handler);
}

TOskedaProcessHandlers& OskedaProcessHandlers() {
  static TOskedaProcessHandlers handlers;
  return handlers;
}

void DeliverExceptionNotify(const TOskedaExceptionRecord& record, TExceptionNotifyProc* exported,
                            bool& handle) {
  if (exported) exported(&record, &handle);
  for (TOskedaLogHandler* h : EnabledHandlers(evExceptionNotify))
    h->ExceptionNotify(record, handle);
  if (auto* p = OskedaProcessHandlers().ExceptionNotify) p(&record, &handle);
}

void DeliverExceptionActionNotify(const TOskedaExceptionRecord& record,
                                  TExceptionActionNotifyProc* exported, int action, bool& execute) {
  if (exported) exported(&record, action, &execute);
  for (TOskedaLogHandler* h : EnabledHandlers(evExceptionActionNotify))
    h->ExceptionActionNotify(record, action, execute);
  if (auto* p = OskedaProcessHandlers().ExceptionActionNotify) p(&record, action, &execute);
}

void DeliverExceptionErrorNotify(const TOskedaExceptionRecord& record,
                                 TExceptionErrorNotifyProc* exported, int action,
                                 const std::string& message, bool& retry) {
  if (exported) exported(&record, action, message.c_str(), &retry);
  for (TOskedaLogHandler* h : EnabledHandlers(evExceptionErrorNotify))
    h->ExceptionErrorNotify(record, action, message, retry);
  if (auto* p = OskedaProcessHandlers().ExceptionErrorNotify)
    p(&record, action, message.c_str(), &retry);
}

void DeliverCustomDataRequest(const TOskedaExceptionRecord& record,
                              TCustomDataRequestProc* exported, std::string& data) {
  if (exported) exported(&record, &data);
  for (TOskedaLogHandler* h : EnabledHandlers(evCustomDataRequest))
    h->CustomDataRequest(record, data);
  if (auto* p = OskedaProcessHandlers().CustomDataRequest) p(&record, &data);
}

void DeliverAttachedFilesRequest(const TOskedaExceptionRecord& record,
                                 TAttachedFilesRequestProc* exported,
                                 std::vector<std::string>& files) {
  if (exported) exported(&record, &files);
  for (TOskedaLogHandler* h : EnabledHandlers(evAttachedFilesRequest))
    h->AttachedFilesRequest(record, files);
  if (auto* p = OskedaProcessHandlers().AttachedFilesRequest) p(&record, &files);
}

void DeliverCustomFieldsRequest(const TOskedaExceptionRecord& record,
                                TCustomFieldsRequestProc* exported,
                                std::vector<std::string>& names, std::vector<std::string>& values) {
  if (exported) exported(&record, &names, &values);
  for (TOskedaLogHandler* h : EnabledHandlers(evCustomFieldsRequest))
    h->CustomFieldsRequest(record, names, values);
  if (auto* p = OskedaProcessHandlers().CustomFieldsRequest) p(&record, &names, &values);
}
