#include "report/capture/EPasswordEvents.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

std::mutex handlersLock;
std::vector<TOskedaPasswordHandler*>& Handlers() {
  static std::vector<TOskedaPasswordHandler*> handlers;
  return handlers;
}
std::atomic<TPasswordRequestProc*> processHandler{nullptr};

}  // namespace

TOskedaPasswordHandler::~TOskedaPasswordHandler() { UnregisterOskedaPasswordHandler(this); }

void RegisterOskedaPasswordHandler(TOskedaPasswordHandler* handler) {
  std::lock_guard guard(handlersLock);
  auto& handlers = Handlers();
  if (std::find(handlers.begin(), handlers.end(), handler) == handlers.end())
    handlers.push_back(handler);
}

void UnregisterOskedaPasswordHandler(TOskedaPasswordHandler* handler) {
  std::lock_guard guard(handlersLock);
  auto& handlers = Handlers();
  handlers.erase(std::remove(handlers.begin(), handlers.end(), handler), handlers.end());
}

void SetOskedaPasswordRequestHandler(TPasswordRequestProc* handler) { processHandler = handler; }

std::string RunPasswordRequest(const TOskedaExceptionRecord* record, std::string key) {
  std::vector<TOskedaPasswordHandler*> handlers;
  {
    std::lock_guard guard(handlersLock);
    handlers.assign(Handlers().rbegin(), Handlers().rend());
  }
  for (TOskedaPasswordHandler* handler : handlers)
    if (handler->Enabled) handler->PasswordRequest(record, key);
  if (TPasswordRequestProc* handler = processHandler.load()) handler(record, &key);
  return key;
}
