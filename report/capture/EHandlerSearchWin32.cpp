#include "report/capture/EHandlerSearchWin32.h"

#include <cxxabi.h>
#include <unwind.h>

#include <cstring>
#include <new>

#include "platform/SysUtils.h"
#include "report/capture/EHandlerTables.h"
#include "report/capture/MemoryReaderWin32.h"

namespace {

std::uint32_t Addr(const void* p) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p));
}

// A catch clause takes the object as the personality routine decides it: through the catch
// type's own matching, with a thrown pointer compared by its value.
bool CatchTakes(std::uint32_t typeInfo, void* object, const std::type_info* type) {
  if (typeInfo == 0) return true;
  const auto* catchType =
      reinterpret_cast<const std::type_info*>(static_cast<std::uintptr_t>(typeInfo));
  void* adjusted = type->__is_pointer_p() ? *static_cast<void**>(object) : object;
  return catchType->__do_catch(type, &adjusted, 1);
}

struct TSearch {
  void* Object;
  const std::type_info* Type;
  std::uint32_t ThrowReturn;
  TProcessMemoryReader Memory;
  bool Started = false;
  bool Decided = false;
  TThrowOutlook Outlook = TThrowOutlook::Unknown;
};

_Unwind_Reason_Code VisitFrame(_Unwind_Context* context, void* argument) {
  auto& search = *static_cast<TSearch*>(argument);
  int beforeInstruction = 0;
  const auto ip = static_cast<std::uint32_t>(_Unwind_GetIPInfo(context, &beforeInstruction));
  if (!search.Started) {
    if (ip != search.ThrowReturn) return _URC_NO_REASON;
    search.Started = true;
  }
  TFrameTables frame;
  frame.Lsda = Addr(_Unwind_GetLanguageSpecificData(context));
  frame.RegionStart = static_cast<std::uint32_t>(_Unwind_GetRegionStart(context));
  frame.Ip = beforeInstruction ? ip : ip - 1;
  frame.TextBase = static_cast<std::uint32_t>(_Unwind_GetTextRelBase(context));
  frame.DataBase = static_cast<std::uint32_t>(_Unwind_GetDataRelBase(context));
  const TFrameOutcome outcome = InspectFrameTables(search.Memory, frame, [&](std::uint32_t t) {
    return CatchTakes(t, search.Object, search.Type);
  });
  switch (outcome) {
    case TFrameOutcome::PassesThrough:
      return _URC_NO_REASON;
    case TFrameOutcome::Caught:
      search.Outlook = TThrowOutlook::Caught;
      break;
    case TFrameOutcome::Terminates:
      search.Outlook = TThrowOutlook::Uncaught;
      break;
    case TFrameOutcome::Unreadable:
      search.Outlook = TThrowOutlook::Unknown;
      break;
  }
  search.Decided = true;
  return _URC_NORMAL_STOP;
}

}  // namespace

TThrowOutlook SearchThrowHandler(void* object, const std::type_info* type,
                                 std::uint32_t throwReturn) {
  if (!object || !type) return TThrowOutlook::Unknown;
  TSearch search{object, type, throwReturn, {}};
  _Unwind_Backtrace(&VisitFrame, &search);
  if (search.Decided) return search.Outlook;
  // Every frame let it pass: the unwinder's search will end the same way.
  return search.Started ? TThrowOutlook::Uncaught : TThrowOutlook::Unknown;
}

bool IsThrownAbort(void* object, const std::type_info* type) {
  if (!object || !type) return false;
  void* adjusted = object;
  if (!typeid(Exception).__do_catch(type, &adjusted, 1)) return false;
  return static_cast<const Exception*>(adjusted)->InheritsFrom("EAbort");
}

TPendingThrow::TPendingThrow(void* object, std::type_info* type, void (*destroy)(void*)) {
  // The header's reference count is its first word; the one reference is this object's.
  // The destructor is called with the convention of destructors (thiscall on this target).
  using TDestroy = void(_GLIBCXX_CDTOR_CALLABI*)(void*);
  void* header = __cxxabiv1::__cxa_init_primary_exception(
      object, type, reinterpret_cast<TDestroy>(reinterpret_cast<void*>(destroy)));
  const int one = 1;
  std::memcpy(header, &one, sizeof one);
  static_assert(sizeof(std::exception_ptr) == sizeof(void*));
  std::memcpy(storage_, &object, sizeof object);
  pointer_ = std::launder(reinterpret_cast<std::exception_ptr*>(storage_));
}

TPendingThrow::~TPendingThrow() {
  // Dropped, not destroyed: the throw re-initialises the count and owns the object.
  std::memset(storage_, 0, sizeof storage_);
}
