#include <gtest/gtest.h>

#include "platform/gui/ComCtrlsWin32.h"
#include "platform/gui/FormsWin32.h"
#include "platform/gui/SpinWin32.h"
#include "tests/platform/gui/GuiTestUtilWin32.h"

namespace {

class TPickerForm : public TForm {
 public:
  TPickerForm() {
    SetBorderStyle(bsSingle);
    SetClientSize(300, 120);
    dateLocal = new TDateTimePicker(this);
    dateLocal->SetBounds(8, 8, 89, 21);
    timeLocal = new TDateTimePicker(this, dtkTime);
    timeLocal->SetBounds(100, 8, 73, 21);
    timeSwatch = new TSpinEdit(this);
    timeSwatch->SetBounds(8, 40, 49, 22);
    timeSwatch->SetRange(0, 999);
    timeSwatch->SetMaxLength(3);
    timeSwatch2 = new TSpinEdit(this);
    timeSwatch2->SetBounds(8, 70, 49, 22);
    timeSwatch2->SetRange(0, 999);
    timeSwatch2->SetReadOnly(true);
    for (TControl* c : {static_cast<TControl*>(dateLocal), static_cast<TControl*>(timeLocal)})
      static_cast<TDateTimePicker*>(c)->OnChange = Handler(this, &TPickerForm::dateLocalChange);
    timeSwatch->OnChange = Handler(this, &TPickerForm::dateLocalChange);
    dateLocal->OnCloseUp = [this](TObject* Sender) { closeUps.push_back(Sender); };
    SetVisible(true);
  }
  void dateLocalChange(TObject* Sender) { changes.push_back(Sender); }
  TDateTimePicker* dateLocal;
  TDateTimePicker* timeLocal;
  TSpinEdit* timeSwatch;
  TSpinEdit* timeSwatch2;
  std::vector<TObject*> changes;
  std::vector<TObject*> closeUps;
};

SYSTEMTIME Shown(HWND picker) {
  SYSTEMTIME st{};
  SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  return st;
}

TEST(DateTimePicker, DatePickersUseTheShortDateFormatAndTimePickersTheTimeFormat) {
  FormHolder<TPickerForm> f;
  const LONG date = GetWindowLongA(f->dateLocal->Handle(), GWL_STYLE);
  const LONG time = GetWindowLongA(f->timeLocal->Handle(), GWL_STYLE);
  EXPECT_EQ(date & DTS_TIMEFORMAT, DTS_SHORTDATEFORMAT);
  EXPECT_FALSE(date & DTS_UPDOWN);  // the drop-down calendar
  EXPECT_EQ(time & DTS_TIMEFORMAT, DTS_TIMEFORMAT);
}

TEST(DateTimePicker, SettingTheDateKeepsTheTimeAndSettingTheTimeKeepsTheDate) {
  FormHolder<TPickerForm> f;
  f->dateLocal->SetDateTime(EncodeDateTime(2026, 3, 29, 1, 30, 0, 0));
  f->dateLocal->SetDate(EncodeDateTime(2026, 12, 7, 14, 5, 9, 7));
  SYSTEMTIME st = Shown(f->dateLocal->Handle());
  EXPECT_EQ(st.wYear, 2026);
  EXPECT_EQ(st.wMonth, 12);
  EXPECT_EQ(st.wDay, 7);
  EXPECT_EQ(st.wHour, 1);
  EXPECT_EQ(st.wMinute, 30);
  f->dateLocal->SetTime(EncodeDateTime(1999, 1, 1, 23, 59, 58, 0));
  st = Shown(f->dateLocal->Handle());
  EXPECT_EQ(st.wYear, 2026);
  EXPECT_EQ(st.wDay, 7);
  EXPECT_EQ(st.wHour, 23);
  EXPECT_EQ(st.wSecond, 58);
  EXPECT_EQ(f->dateLocal->Date(), EncodeDate(2026, 12, 7));
  EXPECT_NEAR(f->dateLocal->Time(), EncodeTime(23, 59, 58, 0), 1e-9);
  EXPECT_THROW(f->dateLocal->SetDate(-1e9), EConvertError);
}

TEST(DateTimePicker, AProgrammaticChangeRaisesOnChangeOnceAndTheSameValueNot) {
  FormHolder<TPickerForm> f;
  f->timeLocal->SetTime(EncodeTime(10, 0, 0, 0));
  f->changes.clear();
  f->timeLocal->SetTime(EncodeTime(11, 0, 0, 0));
  ASSERT_EQ(f->changes.size(), 1u);
  EXPECT_EQ(f->changes[0], f->timeLocal);
  f->timeLocal->SetTime(EncodeTime(11, 0, 0, 0));
  EXPECT_EQ(f->changes.size(), 1u);
}

TEST(DateTimePicker, AUsersEditRaisesOnChangeAndIsRead) {
  FormHolder<TPickerForm> f;
  f->dateLocal->SetDate(EncodeDate(2026, 3, 29));
  f->changes.clear();
  // What the control does when the user picks a date: it takes the value, then notifies.
  HWND picker = f->dateLocal->Handle();
  SYSTEMTIME picked = Shown(picker);
  picked.wDay = 30;
  picked.wDayOfWeek = 1;
  SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&picked));
  NMDATETIMECHANGE change{};
  change.nmhdr.hwndFrom = picker;
  change.nmhdr.idFrom = GetDlgCtrlID(picker);
  change.nmhdr.code = DTN_DATETIMECHANGE;
  change.dwFlags = GDT_VALID;
  change.st = ToWin32(picked);
  SendMessageA(f->Handle(), WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
  ASSERT_EQ(f->changes.size(), 1u);
  EXPECT_EQ(f->changes[0], f->dateLocal);
  EXPECT_EQ(f->dateLocal->Date(), EncodeDate(2026, 3, 30));
}

TEST(DateTimePicker, ClosingTheCalendarRaisesOnCloseUp) {
  FormHolder<TPickerForm> f;
  HWND picker = f->dateLocal->Handle();
  NMHDR closeUp{picker, static_cast<UINT_PTR>(GetDlgCtrlID(picker)), DTN_CLOSEUP};
  SendMessageA(f->Handle(), WM_NOTIFY, closeUp.idFrom, reinterpret_cast<LPARAM>(&closeUp));
  ASSERT_EQ(f->closeUps.size(), 1u);
  EXPECT_EQ(f->closeUps[0], f->dateLocal);
}

TEST(SpinEdit, ValuesSetOutsideTheRangeAreClamped) {
  FormHolder<TPickerForm> f;
  f->timeSwatch->SetValue(1000);
  EXPECT_EQ(WindowText(f->timeSwatch->Handle()), "999");
  EXPECT_EQ(f->timeSwatch->Value(), 999);
  f->timeSwatch->SetValue(-4);
  EXPECT_EQ(WindowText(f->timeSwatch->Handle()), "0");
  f->timeSwatch->SetValue(500);
  EXPECT_EQ(f->timeSwatch->Value(), 500);
  EXPECT_EQ(SendMessageA(f->timeSwatch->Handle(), EM_GETLIMITTEXT, 0, 0), 3);
}

TEST(SpinEdit, TextThatIsNotANumberReadsAsZero) {
  FormHolder<TPickerForm> f;
  SetWindowTextA(f->timeSwatch->Handle(), "");
  EXPECT_EQ(f->timeSwatch->Value(), 0);
  SetWindowTextA(f->timeSwatch->Handle(), "1x");
  EXPECT_EQ(f->timeSwatch->Value(), 0);
  // A range that starts above 0 reads such text as its lowest value.
  f->timeSwatch->SetRange(1, 12);
  SetWindowTextA(f->timeSwatch->Handle(), "abc");
  EXPECT_EQ(f->timeSwatch->Value(), 1);
}

TEST(SpinEdit, TypingAndTheArrowsChangeTheValueUnlessReadOnly) {
  FormHolder<TPickerForm> f;
  f->timeSwatch->SetValue(0);
  f->changes.clear();
  HWND edit = f->timeSwatch->Handle();
  SendMessageA(edit, EM_SETSEL, 0, -1);
  for (char c : {'5', '0', '0', '7'}) SendMessageA(edit, WM_CHAR, c, 0);
  EXPECT_EQ(WindowText(edit), "500");  // at most 3 characters
  EXPECT_EQ(f->timeSwatch->Value(), 500);
  EXPECT_GE(f->changes.size(), 3u);
  EXPECT_EQ(f->changes.back(), f->timeSwatch);
  SendMessageA(edit, WM_CHAR, 'x', 0);  // not a digit
  EXPECT_EQ(WindowText(edit), "500");
  // The up arrow of the spin buttons, clicked in its upper half.
  RECT arrows;
  GetClientRect(f->timeSwatch->UpDownHandle(), &arrows);
  ClickAt(f->timeSwatch->UpDownHandle(), arrows.right / 2, arrows.bottom / 4);
  EXPECT_EQ(f->timeSwatch->Value(), 501);

  HWND readOnly = f->timeSwatch2->Handle();
  f->timeSwatch2->SetValue(7);
  SendMessageA(readOnly, WM_CHAR, '1', 0);
  GetClientRect(f->timeSwatch2->UpDownHandle(), &arrows);
  ClickAt(f->timeSwatch2->UpDownHandle(), arrows.right / 2, arrows.bottom / 4);
  EXPECT_EQ(WindowText(readOnly), "7");
}

}  // namespace
