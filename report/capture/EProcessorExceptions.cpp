#include "report/capture/EProcessorExceptions.h"

bool IsMappedProcessorCode(std::uint32_t code) {
  return code >= StatusAccessViolation && code <= 0xC000013A;
}

std::exception_ptr MakeProcessorException(const TProcessorFault& fault,
                                          const std::string& moduleName) {
  switch (fault.Code) {
    case StatusAccessViolation: {
      const char* access = fault.HasAccess && fault.AccessKind == 1   ? "Write"
                           : fault.HasAccess && fault.AccessKind == 8 ? "Execution"
                                                                      : "Read";
      return std::make_exception_ptr(EAccessViolation(
          Format("Access violation at address %08X in module '%s'. %s of address %08X",
                 fault.Address, moduleName.c_str(), access, fault.AccessedAddress)));
    }
    case StatusStackOverflow:
      return std::make_exception_ptr(EStackOverflow("Stack overflow"));
    case StatusIntegerDivideByZero:
      return std::make_exception_ptr(EDivByZero("Division by zero"));
    case 0xC0000095:
      return std::make_exception_ptr(EIntOverflow("Integer overflow"));
    case 0xC000008C:
      return std::make_exception_ptr(ERangeError("Range check error"));
    case 0xC000008E:
      return std::make_exception_ptr(EZeroDivide("Floating point division by zero"));
    case 0xC0000091:
      return std::make_exception_ptr(EOverflow("Floating point overflow"));
    case 0xC0000093:
      return std::make_exception_ptr(EUnderflow("Floating point underflow"));
    case 0xC000008D:
    case 0xC000008F:
    case 0xC0000090:
    case 0xC0000092:
      return std::make_exception_ptr(EInvalidOp("Invalid floating point operation"));
    case 0xC0000096:
      return std::make_exception_ptr(EPrivilege("Privileged instruction"));
    case 0xC000013A:
      return std::make_exception_ptr(EControlC("Control-C hit"));
    default:
      return std::make_exception_ptr(
          EExternalException(Format("External exception %X", fault.Code)));
  }
}
