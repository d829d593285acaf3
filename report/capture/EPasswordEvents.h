// The key request behind the password exports: the key of a module's enciphered debug names.
// Registered handler objects (newest first, each with its own switch) and then the one
// process-wide handler may replace the key they are given.
//
// A module asks for its key while it loads: the program at start-up, before main. A handler
// meant to answer for the program must be in place by then (a static object constructed
// early, e.g. with init_priority); one set up later answers for DLLs loaded later and for the
// log's XML copy.
#pragma once

#include <string>

#include "report/capture/EOskedaEvents.h"

class TOskedaPasswordHandler {
 public:
  TOskedaPasswordHandler() = default;
  virtual ~TOskedaPasswordHandler();
  TOskedaPasswordHandler(const TOskedaPasswordHandler&) = delete;
  TOskedaPasswordHandler& operator=(const TOskedaPasswordHandler&) = delete;

  bool Enabled = true;
  // record is null while a module loads.
  virtual void PasswordRequest(const TOskedaExceptionRecord* /*record*/, std::string& /*key*/) {}
};

// Handler objects take part while registered; a destroyed one leaves the list by itself.
void RegisterOskedaPasswordHandler(TOskedaPasswordHandler* handler);
void UnregisterOskedaPasswordHandler(TOskedaPasswordHandler* handler);

using TPasswordRequestProc = void(const TOskedaExceptionRecord* record, std::string* key);
// The process-wide handler (null: none).
void SetOskedaPasswordRequestHandler(TPasswordRequestProc* handler);

// Runs the request from key; what the handlers leave is the answer.
std::string RunPasswordRequest(const TOskedaExceptionRecord* record, std::string key);
