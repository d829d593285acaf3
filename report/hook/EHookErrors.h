// The exceptions of the patching primitives. Each carries only its message; the helpers give
// the texts, so that every raise of one class reads the same.
#pragma once

#include <string>
#include <string_view>

#include "platform/SysUtils.h"

DM_DECLARE_EXCEPTION(EHookError, Exception)
DM_DECLARE_EXCEPTION(EProcNull, EHookError)
DM_DECLARE_EXCEPTION(EHookingError, EHookError)
DM_DECLARE_EXCEPTION(ESharedArea, EHookError)

// Name: the name the caller gave the hook.
inline std::string ProcNullMessage(std::string_view name) {
  return "Cannot hook a null procedure (\"" + std::string(name) + "\").";
}
inline std::string HookingErrorMessage(std::string_view name) {
  return "Cannot hook the procedure \"" + std::string(name) + "\".";
}
// moduleFileName: the file name of the module that holds the procedure.
inline std::string SharedAreaMessage(std::string_view moduleFileName) {
  return "Cannot hook the module \"" + std::string(moduleFileName) +
         "\" located into the shared-area.";
}
