#include "platform/SysUtils.h"
#include "platform/gui/ComCtrlsWin32.h"

namespace {

bool SameValue(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
         a.wMinute == b.wMinute && a.wSecond == b.wSecond && a.wMilliseconds == b.wMilliseconds;
}

}  // namespace

TDateTimePicker::TDateTimePicker(TWinControl* AParent, TDateTimeKind kind)
    : TControl(AParent), kind_(kind) {
  SetColor(clWindow);
  CreateHandle(DATETIMEPICK_CLASSA,
               WS_CHILD | WS_TABSTOP | (kind == dtkDate ? DTS_SHORTDATEFORMAT : DTS_TIMEFORMAT),
               0, AParent->Handle());
}

SYSTEMTIME TDateTimePicker::Shown() const {
  SYSTEMTIME value{};
  SendMessageA(handle_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value));
  return value;
}

TDateTime TDateTimePicker::DateTime() const { return SystemTimeToDateTime(Shown()); }

TDateTime TDateTimePicker::Date() const {
  const SYSTEMTIME shown = Shown();
  return EncodeDate(shown.wYear, shown.wMonth, shown.wDay);
}

TDateTime TDateTimePicker::Time() const {
  const SYSTEMTIME shown = Shown();
  return EncodeTime(shown.wHour, shown.wMinute, shown.wSecond, shown.wMilliseconds);
}

void TDateTimePicker::SetDateTime(TDateTime value) { Apply(DateTimeToSystemTime(value)); }

void TDateTimePicker::SetDate(TDateTime value) {
  const SYSTEMTIME date = DateTimeToSystemTime(value);
  SYSTEMTIME next = Shown();
  next.wYear = date.wYear;
  next.wMonth = date.wMonth;
  next.wDay = date.wDay;
  next.wDayOfWeek = date.wDayOfWeek;
  Apply(next);
}

void TDateTimePicker::SetTime(TDateTime value) {
  const SYSTEMTIME time = DateTimeToSystemTime(value);
  SYSTEMTIME next = Shown();
  next.wHour = time.wHour;
  next.wMinute = time.wMinute;
  next.wSecond = time.wSecond;
  next.wMilliseconds = time.wMilliseconds;
  Apply(next);
}

void TDateTimePicker::Apply(const SYSTEMTIME& value) {
  if (SameValue(value, Shown())) return;
  setting_ = true;
  SYSTEMTIME copy = value;
  const LRESULT ok = SendMessageA(handle_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&copy));
  setting_ = false;
  if (!ok)
    throw EConvertError(Format("%04u-%02u-%02u is outside the range of the date picker",
                               value.wYear, value.wMonth, value.wDay));
  Application->Fire(this, OnChange, this);
}

bool TDateTimePicker::HandleParentNotify(NMHDR* header, LRESULT& result) {
  result = 0;
  switch (header->code) {
    case DTN_DATETIMECHANGE:
      if (!setting_) Application->Fire(this, OnChange, this);
      return true;
    case DTN_CLOSEUP:
      Application->Fire(this, OnCloseUp, this);
      return true;
    default:
      return false;
  }
}
