// The runtime's exception classes for processor exceptions, and the mapping that turns a fault
// (its code, address and access) into one of them with the runtime's message.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "platform/SysUtils.h"

DM_DECLARE_EXCEPTION(EExternal, Exception)
DM_DECLARE_EXCEPTION(EAccessViolation, EExternal)
DM_DECLARE_EXCEPTION(EStackOverflow, EExternal)
DM_DECLARE_EXCEPTION(EExternalException, EExternal)
DM_DECLARE_EXCEPTION(EPrivilege, EExternal)
DM_DECLARE_EXCEPTION(EControlC, EExternal)
DM_DECLARE_EXCEPTION(EIntError, EExternal)
DM_DECLARE_EXCEPTION(EDivByZero, EIntError)
DM_DECLARE_EXCEPTION(EIntOverflow, EIntError)
DM_DECLARE_EXCEPTION(ERangeError, EIntError)
DM_DECLARE_EXCEPTION(EMathError, EExternal)
DM_DECLARE_EXCEPTION(EInvalidOp, EMathError)
DM_DECLARE_EXCEPTION(EZeroDivide, EMathError)
DM_DECLARE_EXCEPTION(EOverflow, EMathError)
DM_DECLARE_EXCEPTION(EUnderflow, EMathError)
// std::terminate called when no exception is active: the program ends all the same, and the
// report says where it was called.
DM_DECLARE_EXCEPTION(EAbnormalTermination, Exception)
constexpr const char* TerminateWithoutExceptionMessage =
    "terminate called without an active exception";

// What the vectored handler keeps of a processor exception: plain values only, so that it can
// be recorded on an exhausted stack and mapped later on the reporting thread.
struct TProcessorFault {
  std::uint32_t Code = 0;
  std::uint32_t Address = 0;  // the faulting instruction
  // The access-violation parameters: 0 read, 1 write, 8 execute; and the address accessed.
  bool HasAccess = false;
  std::uint32_t AccessKind = 0;
  std::uint32_t AccessedAddress = 0;
};

constexpr std::uint32_t StatusAccessViolation = 0xC0000005;
constexpr std::uint32_t StatusStackOverflow = 0xC00000FD;
constexpr std::uint32_t StatusIntegerDivideByZero = 0xC0000094;
// The debugger's thread-naming exception: never an error.
constexpr std::uint32_t ThreadNamingException = 0x406D1388;

// True for the codes the unwind hook of the runtime turns into exception objects: errors
// (severity 3) from access violation up to Control-C.
bool IsMappedProcessorCode(std::uint32_t code);

// The runtime's exception object for a fault; moduleName is the file name (no folder) of the
// module holding the faulting instruction, empty when none does.
std::exception_ptr MakeProcessorException(const TProcessorFault& fault,
                                          const std::string& moduleName);
