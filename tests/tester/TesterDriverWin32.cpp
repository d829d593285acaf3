#include "tests/tester/TesterDriverWin32.h"

#include <gtest/gtest.h>

#include "platform/gui/ApplicationWin32.h"
#include "tests/platform/gui/GuiTestUtilWin32.h"

namespace {

SYSTEMTIME Shown(HWND picker) {
  SYSTEMTIME st{};
  SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  return st;
}

}  // namespace

TesterDriver::TesterDriver() : form(Application->CreateForm<TfrmMain>()) {
  form->Show();
  Pump();
}

TesterDriver::~TesterDriver() {
  form->DoDestroy();
  delete form;
  Pump();
}

int TesterDriver::RowCount() const {
  return static_cast<int>(SendMessageA(form->lvTZ->Handle(), LVM_GETITEMCOUNT, 0, 0));
}

int TesterDriver::RowOf(const std::string& keyName) const {
  for (int row = 0; row < RowCount(); ++row)
    if (Cell(row, 1) == keyName) return row;
  ADD_FAILURE() << "no row for " << keyName;
  return 0;
}

std::string TesterDriver::Cell(int row, int column) const {
  return ListCell(form->lvTZ->Handle(), row, column);
}

int TesterDriver::SelectedRow() const {
  return static_cast<int>(
      SendMessageA(form->lvTZ->Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

const TKtRegistryTimeZone& TesterDriver::ZoneOfRow(int row) const {
  return *static_cast<const TKtRegistryTimeZone*>(form->lvTZ->Item(row)->Data());
}

void TesterDriver::ClickRow(int row) {
  HWND list = form->lvTZ->Handle();
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  RECT rect{};
  rect.left = LVIR_LABEL;
  SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  ClickAt(list, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  Pump();
  ASSERT_EQ(SelectedRow(), row);
}

void TesterDriver::Click(TControl* button) {
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  Pump();
}

void TesterDriver::UserSetsPicker(TDateTimePicker* picker, TDateTime value) {
  HWND window = picker->Handle();
  SYSTEMTIME picked = Shown(window);
  const SYSTEMTIME wanted = DateTimeToSystemTime(value);
  if (picker->Kind() == dtkDate) {
    picked.wYear = wanted.wYear;
    picked.wMonth = wanted.wMonth;
    picked.wDay = wanted.wDay;
    picked.wDayOfWeek = wanted.wDayOfWeek;
  } else {
    picked.wHour = wanted.wHour;
    picked.wMinute = wanted.wMinute;
    picked.wSecond = wanted.wSecond;
    picked.wMilliseconds = 0;
  }
  SendMessageA(window, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&picked));
  NMDATETIMECHANGE change{};
  change.nmhdr.hwndFrom = window;
  change.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
  change.nmhdr.code = DTN_DATETIMECHANGE;
  change.dwFlags = GDT_VALID;
  change.st = ToWin32(picked);
  SendMessageA(GetParent(window), WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
  Pump();
}

void TesterDriver::UserSetsLocal(TDateTime value) {
  UserSetsPicker(form->dateLocal, value);
  UserSetsPicker(form->timeLocal, value);
}

void TesterDriver::UserTypes(TControl* edit, const std::string& text) {
  SetWindowTextA(edit->Handle(), text.c_str());
  Pump();
}

std::string TesterDriver::Text(TControl* control) const { return WindowText(control->Handle()); }

bool TesterDriver::Visible(TControl* control) const { return IsWindowVisible(control->Handle()); }

bool TesterDriver::Enabled(TControl* control) const { return IsWindowEnabled(control->Handle()); }

TDateTime TesterDriver::Picker(TDateTimePicker* datePicker, TDateTimePicker* timePicker) const {
  const SYSTEMTIME date = Shown(datePicker->Handle());
  const SYSTEMTIME time = Shown(timePicker->Handle());
  return EncodeDate(date.wYear, date.wMonth, date.wDay) +
         EncodeTime(time.wHour, time.wMinute, time.wSecond, 0);
}

std::string TesterDriver::State() const {
  const bool utc = Visible(form->dateUTC) && Visible(form->timeUTC);
  const bool second = Visible(form->dateUTC2) && Visible(form->timeUTC2);
  const bool invalid = Visible(form->outInvalidTime);
  if (utc && !second && !invalid) return "normal";
  if (utc && second && !invalid && Visible(form->dateSwatch2)) return "ambiguous";
  if (!utc && !second && invalid && !Visible(form->dateSwatch)) return "invalid";
  return "mixed";
}
