#include "report/capture/EThreadStateWin32.h"

#include "platform/win/WinApi.h"

#include <cstring>

TThreadState& CurrentThreadState() {
  static thread_local TThreadState state;
  return state;
}

void* ThrownObjectOf(const std::exception_ptr& e) {
  // libstdc++'s exception_ptr is one pointer: the thrown object.
  static_assert(sizeof(std::exception_ptr) == sizeof(void*));
  void* object = nullptr;
  std::memcpy(&object, &e, sizeof object);
  return object;
}

void CurrentStackBounds(std::uint32_t& low, std::uint32_t& high) {
  // The thread information block at fs:0 holds the stack base at 4 and its limit at 8.
  asm("movl %%fs:4, %0\n\tmovl %%fs:8, %1" : "=r"(high), "=r"(low));
}
