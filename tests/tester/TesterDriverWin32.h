// Drives a shown tester window the way a user does and reads back what the user sees.
#pragma once

#include <string>

#include "platform/gui/ComCtrlsWin32.h"
#include "platform/gui/SpinWin32.h"
#include "tester/testUTC1.h"

class TesterDriver {
 public:
  TesterDriver();
  ~TesterDriver();
  TesterDriver(const TesterDriver&) = delete;
  TesterDriver& operator=(const TesterDriver&) = delete;

  int RowCount() const;
  // The row showing the zone of that key name; fails the test when there is none.
  int RowOf(const std::string& keyName) const;
  std::string Cell(int row, int column) const;
  int SelectedRow() const;
  const TKtRegistryTimeZone& ZoneOfRow(int row) const;

  // A left click in the middle of the row.
  void ClickRow(int row);
  // A button press.
  void Click(TControl* button);
  // A value picked in a date or time picker: the control takes it and notifies its parent.
  void UserSetsPicker(TDateTimePicker* picker, TDateTime value);
  void UserSetsLocal(TDateTime value);
  // Text typed into an edit (a spin edit's field).
  void UserTypes(TControl* edit, const std::string& text);

  std::string Text(TControl* control) const;
  bool Visible(TControl* control) const;
  bool Enabled(TControl* control) const;
  // The date of the date picker with the time of day of the time picker, as shown.
  TDateTime Picker(TDateTimePicker* datePicker, TDateTimePicker* timePicker) const;
  // "normal", "ambiguous" or "invalid", from which of the UTC rows are shown; "mixed" else.
  std::string State() const;

  TfrmMain* form;
};
