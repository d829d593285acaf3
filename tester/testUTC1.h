// The "Time Zone Tester" window: every catalogue zone with its offsets, daylight state and
// local time; the rules of the selected zone in words, with editing of relative rules; and
// conversion between local time in that zone, UTC and Internet time.
#pragma once

#include <memory>
#include <vector>

#include "platform/DateTime.h"
#include "platform/WinTypes.h"
#include "platform/gui/ComCtrlsWin32.h"
#include "platform/gui/FormsWin32.h"
#include "platform/gui/SpinWin32.h"
#include "platform/gui/StdCtrlsWin32.h"
#include "tz/KtTimezoneCatalogue.h"

class TfrmMain : public TForm {
 public:
  TfrmMain();
  ~TfrmMain() override;

  // Zone list and rule details.
  TListView* lvTZ;
  TGroupBox* grpTimezone;
  TLabel *Label2, *Label7, *Label8, *Label1, *Label9, *Label10;
  TSpinEdit *StMonth, *StDay, *DlMonth, *DlDay;
  TSpeedButton *StandardSet, *DaylightSet;
  TMemo *outStandard, *outDaylight;
  TStatusBar* StatusBar1;

  // Conversion panel.
  TLabel *Label5, *Label6, *Label3, *Label4, *lblSwatchHead, *lblSwatch, *lblSwatch2;
  TEdit *outUTCBias, *outInvalidTime;
  TDateTimePicker *dateLocal, *timeLocal, *dateUTC, *timeUTC, *dateUTC2, *timeUTC2;
  TDateTimePicker *dateSwatch, *dateSwatch2;
  TSpinEdit *timeSwatch, *timeSwatch2;
  TButton *btnLocNow, *btnLocD2S, *btnLocS2D;
  TStaticText *StaticText1, *StaticText2;

  void FormCreate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void lvTZCompare(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare);
  void lvTZClick(TObject* Sender);
  void StandardSetClick(TObject* Sender);
  void DaylightSetClick(TObject* Sender);
  void btnLocD2SClick(TObject* Sender);
  void dateLocalChange(TObject* Sender);
  void timeUTC2Change(TObject* Sender);
  void DisplayHint(TObject* Sender);

  void FillZoneList();
  // Each zone's current local time in the Date Time column, and its daylight state in S.
  void RefreshZoneTimes();
  // The whole days of the date picker's date plus the time of day of the time picker.
  TDateTime PickerDateTime(TDateTimePicker* datePicker, TDateTimePicker* timePicker);

  // The tester's own catalogue; list rows refer to its zones.
  std::unique_ptr<TKtRegistryTimeZones> Zones;
  // The row of the system's own rule when no catalogue zone has it; it has no owner, so an
  // edit of its rule stays in memory.
  std::unique_ptr<TKtRegistryTimeZone> LocalZone;
  TIME_ZONE_INFORMATION SystemZone{};
  bool FirstClick = true;
  bool Updating = false;
  TDateTime SecondUTC = 0;
  TDateTime SecondBeatDate = 0;

 protected:
  // A shown tester follows a selection made with the keyboard as it follows a click.
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void BuildZoneDetails();
  void BuildConversionPanel();
  TKtRegistryTimeZone* SelectedZone() const;
  void SetRuleControlsEnabled(bool enabled);
  // Writes the month and week of one of the selected zone's rules back to the catalogue.
  void SetRule(bool daylight, TSpinEdit* month, TSpinEdit* week);
  void ShowRule(TMemo* memo, const SYSTEMTIME& rule, std::int64_t gmtOffset, TDateTime thisYear,
                TSpinEdit* month, TSpinEdit* week);
  void SetPickers(TDateTimePicker* datePicker, TDateTimePicker* timePicker, TDateTime value);
  // SetPickers for a value a recomputation is about to start from.
  void SetSourcePickers(TDateTimePicker* datePicker, TDateTimePicker* timePicker, TDateTime value);

  // Per row, in list order: the local minute and daylight state last shown, so that a refresh
  // formats and writes only the cells whose text changes (once a minute, not every second).
  struct ShownTime {
    double minute = -1;
    bool daylight = false;
  };
  std::vector<ShownTime> shownTimes_;
  bool filling_ = false;
};

// The state of the list, one set for the process.
extern TDateTime ListNow;
extern TDateTime ListUTCNow;
extern int HomeIndex;
extern bool HomeInDaylight;
