// At the throw, before anything is unwound: will a handler of the program catch it? And the
// report made right there when none will.
#pragma once

#include <cstdint>
#include <exception>
#include <typeinfo>

enum class TThrowOutlook : std::uint8_t {
  Caught,     // a catch clause on the thread's stack takes it
  Uncaught,   // nothing takes it, or a frame ends the program (noexcept) when it gets there
  Unknown,    // the throw site was not found among the frames, or a table made no sense
};

// Walks the current thread's frames from the one whose call returns to throwReturn (the
// throw's caller) outwards, as the unwinder's search will, and reads each frame's handler
// table against the thrown object's type.
TThrowOutlook SearchThrowHandler(void* object, const std::type_info* type,
                                 std::uint32_t throwReturn);

// Whether the thrown object is an EAbort (or a descendant), which is never reported.
bool IsThrownAbort(void* object, const std::type_info* type);

// The exception being thrown as an exception pointer, before __cxa_throw has made it one. Its
// header is filled as __cxa_throw fills it (which does it again); the reference this holds is
// let go without releasing the object, so the throw that follows owns it alone. Copies made
// from it must be gone before the throw goes on.
class TPendingThrow {
 public:
  TPendingThrow(void* object, std::type_info* type, void (*destroy)(void*));
  ~TPendingThrow();
  TPendingThrow(const TPendingThrow&) = delete;
  TPendingThrow& operator=(const TPendingThrow&) = delete;
  const std::exception_ptr& Pointer() const { return *pointer_; }

 private:
  alignas(std::exception_ptr) unsigned char storage_[sizeof(std::exception_ptr)];
  std::exception_ptr* pointer_;
};
