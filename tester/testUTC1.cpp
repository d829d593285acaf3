#include "tester/testUTC1.h"

#include <cmath>
#include <cstring>
#include <optional>

#include "platform/SysUtils.h"
#include "platform/TimeServices.h"
#include "tester/TesterModel.h"
#include "tester/TesterText.h"
#include "tz/KtTimezone.h"

TDateTime ListNow = 0;
TDateTime ListUTCNow = 0;
int HomeIndex = 0;
bool HomeInDaylight = false;

namespace {

// Sets a flag for the lifetime of the object, also when an error ends it early.
struct UpdatingGuard {
  bool& flag;
  explicit UpdatingGuard(bool& f) : flag(f) { flag = true; }
  ~UpdatingGuard() { flag = false; }
};

// A catalogue that its first Reload fills.
class TUnreadTimeZones final : public TKtRegistryTimeZones {
 public:
  TUnreadTimeZones() : TKtRegistryTimeZones(DefaultRegistryBackend(), TUnloaded{}) {}
};

// List columns after the GMT caption.
enum SubItem { kName, kHome, kStandardBias, kDaylightBias, kInDaylight, kDateTime };

TDateTime LocalNow() { return SystemTimeToDateTime(TimeServices().GetLocalTime()); }
TDateTime UTCNow() { return SystemTimeToDateTime(TimeServices().GetSystemTime()); }

TLabel* MakeLabel(TWinControl* parent, const char* name, const char* caption, int left, int top,
                  int width = 0, int height = 0) {
  auto* label = new TLabel(parent);
  label->Name = name;
  label->SetCaption(caption);
  if (width > 0) {
    label->SetAutoSize(false);
    label->SetBounds(left, top, width, height);
  } else {
    label->SetBounds(left, top, label->Width(), label->Height());
  }
  return label;
}

TSpinEdit* MakeSpin(TWinControl* parent, const char* name, int left, int top, int minValue,
                    int maxValue) {
  auto* spin = new TSpinEdit(parent);
  spin->Name = name;
  spin->SetBounds(left, top, 41, 22);
  spin->SetRange(minValue, maxValue);
  spin->SetValue(minValue);
  return spin;
}

TDateTimePicker* MakePicker(TWinControl* parent, const char* name, TDateTimeKind kind, int left,
                            int top, int width) {
  auto* picker = new TDateTimePicker(parent, kind);
  picker->Name = name;
  picker->SetBounds(left, top, width, 21);
  return picker;
}

TEdit* MakeOutput(TWinControl* parent, const char* name, int left, int top, int width) {
  auto* edit = new TEdit(parent);
  edit->Name = name;
  edit->SetBounds(left, top, width, 21);
  edit->SetReadOnly(true);
  edit->SetParentColor(true);
  return edit;
}

}  // namespace

TfrmMain::TfrmMain() {
  Name = "frmMain";
  SetCaption("Time Zone Tester");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  Position = poScreenCenter;
  Font().SetName("MS Sans Serif");
  Font().SetHeight(-11);
  SetClientSize(785, 381);

  lvTZ = new TListView(this);
  lvTZ->Name = "lvTZ";
  lvTZ->SetBounds(5, 8, 386, 329);
  lvTZ->AddColumn("GMT", 40);
  lvTZ->AddColumn("Name", 114);
  lvTZ->AddColumn("H", 20);
  lvTZ->AddColumn("StdB", 35, taRightJustify);
  lvTZ->AddColumn("DltB", 35, taRightJustify);
  lvTZ->AddColumn("S", 20);
  lvTZ->AddColumn("Date Time", 100, taCenter);
  lvTZ->SetRowSelect(true);
  lvTZ->SetReadOnly(true);
  lvTZ->SetHideSelection(false);
  lvTZ->SetSortType(stData);
  lvTZ->OnCompare = Handler(this, &TfrmMain::lvTZCompare);
  lvTZ->OnClick = Handler(this, &TfrmMain::lvTZClick);

  grpTimezone = new TGroupBox(this);
  grpTimezone->Name = "grpTimezone";
  grpTimezone->SetBounds(394, 24, 385, 337);
  BuildZoneDetails();
  BuildConversionPanel();

  StaticText1 = new TStaticText(this);
  StaticText1->Name = "StaticText1";
  StaticText1->SetBounds(394, 8, 385, 18);
  StaticText1->SetBorderStyle(sbsSunken);
  StaticText2 = new TStaticText(this);
  StaticText2->Name = "StaticText2";
  StaticText2->SetBounds(5, 341, 386, 18);
  StaticText2->SetBorderStyle(sbsSunken);
  StaticText2->Hint = "current status of time zone";

  StatusBar1 = new TStatusBar(this);
  StatusBar1->Name = "StatusBar1";
  StatusBar1->SetSimplePanel(true);

  SetActiveControl(lvTZ);
  OnCreate = Handler(this, &TfrmMain::FormCreate);
  OnDestroy = Handler(this, &TfrmMain::FormDestroy);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::BuildZoneDetails() {
  TGroupBox* g = grpTimezone;
  Label2 = MakeLabel(g, "Label2", "Standard time:", 8, 12);
  Label7 = MakeLabel(g, "Label7", "Month:", 162, 12, 35, 13);
  StMonth = MakeSpin(g, "StMonth", 200, 8, 1, 12);
  StMonth->Hint = "starting month";
  Label8 = MakeLabel(g, "Label8", "wDay:", 247, 12, 31, 13);
  StDay = MakeSpin(g, "StDay", 280, 8, 1, 5);
  StDay->Hint = "starting weekday [ 5 = last ]";
  StandardSet = new TSpeedButton(g);
  StandardSet->Name = "StandardSet";
  StandardSet->SetCaption("Set");
  StandardSet->SetBounds(327, 9, 49, 22);
  StandardSet->OnClick = Handler(this, &TfrmMain::StandardSetClick);
  outStandard = new TMemo(g);
  outStandard->Name = "outStandard";
  outStandard->SetBounds(8, 32, 369, 49);
  outStandard->SetReadOnly(true);
  outStandard->SetParentColor(true);

  Label1 = MakeLabel(g, "Label1", "Daylight saving time:", 8, 88);
  Label9 = MakeLabel(g, "Label9", "Month:", 162, 86, 35, 13);
  DlMonth = MakeSpin(g, "DlMonth", 200, 82, 1, 12);
  DlMonth->Hint = "starting month";
  Label10 = MakeLabel(g, "Label10", "wDay:", 246, 86, 32, 13);
  DlDay = MakeSpin(g, "DlDay", 280, 82, 1, 5);
  DlDay->Hint = "starting weekday [ 5 = last ]";
  DaylightSet = new TSpeedButton(g);
  DaylightSet->Name = "DaylightSet";
  DaylightSet->SetCaption("Set");
  DaylightSet->SetBounds(327, 83, 49, 22);
  DaylightSet->OnClick = Handler(this, &TfrmMain::DaylightSetClick);
  outDaylight = new TMemo(g);
  outDaylight->Name = "outDaylight";
  outDaylight->SetBounds(8, 110, 369, 49);
  outDaylight->SetReadOnly(true);
  outDaylight->SetParentColor(true);

  SetRuleControlsEnabled(false);
}

void TfrmMain::BuildConversionPanel() {
  TGroupBox* g = grpTimezone;
  Label5 = MakeLabel(g, "Label5", "Current UTC bias:", 8, 164);
  outUTCBias = MakeOutput(g, "outUTCBias", 96, 160, 41);
  Label5->FocusControl = outUTCBias;
  Label6 = MakeLabel(g, "Label6", "minutes", 144, 164);

  Label3 = MakeLabel(g, "Label3", "&Local time:", 8, 192);
  dateLocal = MakePicker(g, "dateLocal", dtkDate, 8, 208, 89);
  timeLocal = MakePicker(g, "timeLocal", dtkTime, 100, 208, 73);
  Label3->FocusControl = dateLocal;
  Label4 = MakeLabel(g, "Label4", "&UTC time:", 208, 192);
  dateUTC = MakePicker(g, "dateUTC", dtkDate, 208, 208, 89);
  timeUTC = MakePicker(g, "timeUTC", dtkTime, 300, 208, 73);
  Label4->FocusControl = dateUTC;
  outInvalidTime = MakeOutput(g, "outInvalidTime", 208, 208, 164);
  outInvalidTime->SetText("Invalid local time");
  outInvalidTime->SetVisible(false);
  dateUTC2 = MakePicker(g, "dateUTC2", dtkDate, 208, 232, 89);
  timeUTC2 = MakePicker(g, "timeUTC2", dtkTime, 300, 232, 73);
  dateUTC2->SetColor(clBtnFace);
  timeUTC2->SetColor(clBtnFace);

  btnLocNow = new TButton(g);
  btnLocNow->Name = "btnLocNow";
  btnLocNow->SetCaption("&Now");
  btnLocNow->SetBounds(8, 240, 165, 25);
  btnLocD2S = new TButton(g);
  btnLocD2S->Name = "btnLocD2S";
  btnLocD2S->SetCaption("Start of &Standard Time");
  btnLocD2S->SetBounds(8, 272, 165, 25);
  btnLocD2S->SetEnabled(false);
  btnLocS2D = new TButton(g);
  btnLocS2D->Name = "btnLocS2D";
  btnLocS2D->SetCaption("Start of &Daylight Saving Time");
  btnLocS2D->SetBounds(8, 304, 165, 25);
  btnLocS2D->SetEnabled(false);

  lblSwatchHead = MakeLabel(g, "lblSwatchHead", "&Internet Time:", 208, 264);
  dateSwatch = MakePicker(g, "dateSwatch", dtkDate, 208, 280, 89);
  lblSwatchHead->FocusControl = dateSwatch;
  lblSwatch = MakeLabel(g, "lblSwatch", "@", 304, 284);
  timeSwatch = new TSpinEdit(g);
  timeSwatch->Name = "timeSwatch";
  timeSwatch->SetBounds(320, 280, 49, 22);
  timeSwatch->SetRange(0, 999);
  timeSwatch->SetMaxLength(3);
  timeSwatch->SetValue(0);
  dateSwatch2 = MakePicker(g, "dateSwatch2", dtkDate, 208, 304, 89);
  dateSwatch2->SetColor(clBtnFace);
  lblSwatch2 = MakeLabel(g, "lblSwatch2", "@", 304, 308);
  timeSwatch2 = new TSpinEdit(g);
  timeSwatch2->Name = "timeSwatch2";
  timeSwatch2->SetBounds(320, 304, 49, 22);
  timeSwatch2->SetRange(0, 999);
  timeSwatch2->SetMaxLength(3);
  timeSwatch2->SetReadOnly(true);
  timeSwatch2->SetParentColor(true);

  const TNotifyEvent change = Handler(this, &TfrmMain::dateLocalChange);
  for (TDateTimePicker* p : {dateLocal, timeLocal, dateUTC, timeUTC, dateSwatch}) p->OnChange = change;
  timeSwatch->OnChange = change;
  const TNotifyEvent click = Handler(this, &TfrmMain::btnLocD2SClick);
  for (TButton* b : {btnLocNow, btnLocD2S, btnLocS2D}) b->OnClick = click;
  const TNotifyEvent undo = Handler(this, &TfrmMain::timeUTC2Change);
  for (TDateTimePicker* p : {dateUTC2, timeUTC2, dateSwatch2}) p->OnChange = undo;
  dateUTC2->OnCloseUp = undo;
  dateSwatch2->OnCloseUp = undo;
}

void TfrmMain::FormCreate(TObject*) {
  Application->OnHint = Handler(this, &TfrmMain::DisplayHint);
  FirstClick = true;
  // FillZoneList reads the catalogue: reading it here as well would double the start-up
  // time of a long catalogue for nothing.
  Zones = std::make_unique<TUnreadTimeZones>();
  FillZoneList();
}

void TfrmMain::FormDestroy(TObject*) {
  // Rows refer to the zones: empty the list before the zones go.
  lvTZ->ClearItems();
  LocalZone.reset();
  Zones.reset();
}

void TfrmMain::DisplayHint(TObject*) { StatusBar1->SetSimpleText(Application->Hint()); }

TKtRegistryTimeZone* TfrmMain::SelectedZone() const {
  TListItem* item = lvTZ->Selected();
  return item ? static_cast<TKtRegistryTimeZone*>(item->Data()) : nullptr;
}

void TfrmMain::FillZoneList() {
  struct FillingGuard {
    bool& flag;
    explicit FillingGuard(bool& f) : flag(f) { flag = true; }
    ~FillingGuard() { flag = false; }
  } filling(filling_);
  lvTZ->ClearItems();
  shownTimes_.clear();
  ListNow = LocalNow();
  ListUTCNow = UTCNow();
  Zones->Reload();
  if (TimeServices().GetTimeZoneInformation(SystemZone) == TIME_ZONE_ID_INVALID)
    std::memset(&SystemZone, 0, sizeof SystemZone);

  std::vector<TKtRegistryTimeZone*> zones;
  zones.reserve(static_cast<size_t>(Zones->Count()) + 1);
  bool systemRuleListed = false;
  for (int i = 0; i < Zones->Count(); ++i) {
    zones.push_back(&Zones->Items(i));
    systemRuleListed = systemRuleListed || SameZoneRules(zones.back()->Rule(), SystemZone);
  }
  // The clock shows the home row's time: without a catalogue zone of the system's rule, a row
  // of that rule keeps it the machine's local time.
  LocalZone.reset();
  if (!systemRuleListed) {
    LocalZone = std::make_unique<TKtRegistryTimeZone>();
    LocalZone->SetRule(SystemZone);
    LocalZone->SetKeyName(SystemZoneRowName(SystemZone));
    LocalZone->SetDisplayName(LocalZone->KeyName());
    zones.push_back(LocalZone.get());
  }

  // Rows go in in their final order and the list is sorted once at the end: sorting on each
  // attach made the fill quadratic in the number of zones.
  std::vector<std::int32_t> biases;
  biases.reserve(zones.size());
  for (const TKtRegistryTimeZone* zone : zones) biases.push_back(zone->Rule().Bias);
  lvTZ->SetSortType(stNone);
  // No drawing while thousands of rows go in: the list repaints once, when they are all there.
  struct RedrawOff {
    HWND list;
    explicit RedrawOff(HWND l) : list(l) { SendMessageA(list, WM_SETREDRAW, FALSE, 0); }
    ~RedrawOff() {
      SendMessageA(list, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(list, nullptr, TRUE);
    }
  };
  std::optional<RedrawOff> redrawOff(std::in_place, lvTZ->Handle());
  for (const int index : ZoneListOrder(biases)) {
    TKtRegistryTimeZone& zone = *zones[static_cast<size_t>(index)];
    TListItem* item = lvTZ->AddItem();
    item->SetData(&zone);
    const ZoneRowTexts row = ZoneRow(zone.Rule(), zone.KeyName(), SystemZone, ListUTCNow);
    item->SetCaption(row.gmt);
    for (const std::string* text : {&row.name, &row.home, &row.standardBias, &row.daylightBias,
                                    &row.inDaylight})
      item->SubItems().Add(*text);
    item->SubItems().Add("");
  }
  lvTZ->SetSortType(stData);
  redrawOff.reset();

  // Row 20 first; a shorter list selects its last row, an empty one nothing.
  const int count = lvTZ->ItemCount();
  if (count > 0) lvTZ->Item(count > 20 ? 20 : count - 1)->SetSelected(true);
  for (int i = 0; i < count; ++i) {
    TListItem* item = lvTZ->Item(i);
    if (item->SubItems()[kHome].empty()) continue;
    lvTZ->SetSelected(item);
    item->MakeVisible(false);
    HomeInDaylight = item->SubItems()[kInDaylight] == "Y";
    HomeIndex = i;
    break;
  }
  RefreshZoneTimes();
  lvTZClick(lvTZ);
}

void TfrmMain::RefreshZoneTimes() {
  ListNow = LocalNow();
  ListUTCNow = UTCNow();
  const TFormatSettings& settings = FormatSettings();
  const int count = lvTZ->ItemCount();
  shownTimes_.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    TListItem* item = lvTZ->Item(i);
    const auto* zone = static_cast<const TKtRegistryTimeZone*>(item->Data());
    TSubItems& cells = item->SubItems();
    ShownTime& shown = shownTimes_[static_cast<size_t>(i)];
    // Each zone's own rule at this instant: the daylight state and local time stay right
    // across a transition while the program runs.
    const ZoneTime now = ZoneTimeAt(zone->Rule(), ListUTCNow);
    if (now.minute != shown.minute || cells[kDateTime].empty()) {
      shown.minute = now.minute;
      cells.Set(kDateTime, DateTimeColumnText(now.local, settings));
    }
    const bool daylight = now.daylight;
    if (daylight != shown.daylight || cells[kInDaylight].empty()) {
      shown.daylight = daylight;
      cells.Set(kInDaylight, daylight ? "Y" : "N");
    }
    if (i == HomeIndex && !cells[kHome].empty()) HomeInDaylight = daylight;
  }
}

void TfrmMain::lvTZCompare(TObject*, TListItem* Item1, TListItem* Item2, int, int& Compare) {
  const auto* zone1 = static_cast<const TKtRegistryTimeZone*>(Item1->Data());
  const auto* zone2 = static_cast<const TKtRegistryTimeZone*>(Item2->Data());
  Compare = CompareZoneRows(zone1->Rule().Bias, Item1->Caption(), zone2->Rule().Bias, Item2->Caption());
}

LRESULT TfrmMain::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && !filling_ && IsWindowVisible(Handle())) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
    if (change->hdr.hwndFrom == lvTZ->Handle() && change->hdr.code == LVN_ITEMCHANGED &&
        (change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
        !(change->uOldState & LVIS_SELECTED))
      Application->Dispatch(this, [this] { lvTZClick(lvTZ); });
  }
  return TForm::WndProc(message, wParam, lParam);
}

void TfrmMain::SetRuleControlsEnabled(bool enabled) {
  for (TControl* c : std::initializer_list<TControl*>{StMonth, StDay, DlMonth, DlDay, StandardSet,
                                                      DaylightSet})
    c->SetEnabled(enabled);
}

void TfrmMain::ShowRule(TMemo* memo, const SYSTEMTIME& rule, std::int64_t gmtOffset,
                        TDateTime thisYear, TSpinEdit* month, TSpinEdit* week) {
  const TFormatSettings& settings = FormatSettings();
  if (rule.wYear == 0) {
    memo->Lines().Add(RuleStartLine(rule, gmtOffset, settings));
    month->SetValue(rule.wMonth);
    week->SetValue(rule.wDay);
    memo->Lines().Add(ThisYearLine(thisYear, settings));
  } else {
    SetRuleControlsEnabled(false);
    memo->Lines().Add(AbsoluteDateLine(rule, gmtOffset, settings));
  }
}

void TfrmMain::lvTZClick(TObject*) {
  for (TSpinEdit* spin : {StMonth, StDay, DlMonth, DlDay}) spin->SetValue(1);
  TListItem* item = lvTZ->Selected();
  if (!item) return;
  const auto* zoneObject = static_cast<const TKtRegistryTimeZone*>(item->Data());
  const TIME_ZONE_INFORMATION zone = zoneObject->Rule();
  StaticText1->SetCaption(" " + zoneObject->DisplayName() + " ");

  TDateTime ds, ss;
  std::int64_t dOff, sOff;
  if (GetTransitionsThisYear(zone, ds, ss, dOff, sOff)) {
    outStandard->Clear();
    outDaylight->Clear();
    outStandard->Lines().Add(BiasLine(zone.StandardName, sOff));
    outDaylight->Lines().Add(BiasLine(zone.DaylightName, dOff));
    SetRuleControlsEnabled(true);
    StaticText2->SetCaption(ZoneStatusText(zone, zoneObject->KeyName(), true,
                                           item->SubItems()[kInDaylight] == "Y"));
    // The standard rule's time is a daylight wall time, the daylight rule's a standard one.
    ShowRule(outStandard, zone.StandardDate, dOff, ss, StMonth, StDay);
    ShowRule(outDaylight, zone.DaylightDate, sOff, ds, DlMonth, DlDay);
    btnLocD2S->SetEnabled(true);
    btnLocS2D->SetEnabled(true);
  } else {
    SetRuleControlsEnabled(false);
    outStandard->Lines().SetText(BiasLine(zone.StandardName, zone.Bias));
    outDaylight->Lines().SetText("not used");
    StaticText2->SetCaption(zoneObject->KeyName());
    btnLocD2S->SetEnabled(false);
    btnLocS2D->SetEnabled(false);
  }
  outUTCBias->SetText(std::to_string(GetZoneUTCBias(zone)));
  outStandard->SetSelStartAndScroll(0);
  outDaylight->SetSelStartAndScroll(0);

  if (FirstClick) {
    FirstClick = false;
    // The current instant from the UTC clock, and its local time in this zone: the machine's
    // local clock alone cannot tell the two passes through a repeated hour apart.
    const TDateTime utc = UTCNow();
    SetSourcePickers(dateUTC, timeUTC, utc);
    if (const TDateTime local = ZoneUTCToLocal(zone, utc); IsShowableDateTime(local))
      SetSourcePickers(dateLocal, timeLocal, local);
  }
  dateLocalChange(dateLocal);
}

void TfrmMain::SetRule(bool daylight, TSpinEdit* month, TSpinEdit* week) {
  TKtRegistryTimeZone* zone = SelectedZone();
  if (!zone) return;
  TIME_ZONE_INFORMATION rule = zone->Rule();
  SYSTEMTIME& date = daylight ? rule.DaylightDate : rule.StandardDate;
  date.wMonth = static_cast<WORD>(month->Value());
  date.wDay = static_cast<WORD>(week->Value());
  // The write permission is withdrawn again also when the write fails.
  struct WriteAccessBracket {
    TKtRegistryTimeZone* zone;
    explicit WriteAccessBracket(TKtRegistryTimeZone* z) : zone(z) { zone->SetWriteAccess(true); }
    ~WriteAccessBracket() { zone->SetWriteAccess(false); }
  } bracket(zone);
  zone->SetRule(rule);
  lvTZClick(this);
}

void TfrmMain::StandardSetClick(TObject*) { SetRule(false, StMonth, StDay); }

void TfrmMain::DaylightSetClick(TObject*) { SetRule(true, DlMonth, DlDay); }

void TfrmMain::SetPickers(TDateTimePicker* datePicker, TDateTimePicker* timePicker, TDateTime value) {
  datePicker->SetDate(value);
  timePicker->SetTime(value);
}

void TfrmMain::SetSourcePickers(TDateTimePicker* datePicker, TDateTimePicker* timePicker,
                                TDateTime value) {
  // The recomputation that follows runs once, not once more for each picker's change event.
  if (Updating) return SetPickers(datePicker, timePicker, value);
  UpdatingGuard guard(Updating);
  SetPickers(datePicker, timePicker, value);
}

TDateTime TfrmMain::PickerDateTime(TDateTimePicker* datePicker, TDateTimePicker* timePicker) {
  return JoinPickerValues(datePicker->Date(), timePicker->Time());
}

void TfrmMain::btnLocD2SClick(TObject* Sender) {
  if (TKtRegistryTimeZone* selected = SelectedZone()) {
    const TIME_ZONE_INFORMATION zone = selected->Rule();
    if (Sender == btnLocNow) {
      // UTC is the source: the UTC row shows the true instant, the local row that instant in
      // the selected zone, and a repeated local hour its other reading in the second row.
      SetSourcePickers(dateUTC, timeUTC, UTCNow());
      dateLocalChange(dateUTC);
    } else if (Sender == btnLocD2S || Sender == btnLocS2D) {
      const auto local =
          StartButtonLocal(zone, Sender == btnLocD2S ? StartButton::Standard : StartButton::Daylight);
      if (local && IsShowableDateTime(*local)) {
        SetSourcePickers(dateLocal, timeLocal, *local);
        dateLocalChange(dateLocal);
      }
    }
  }
  RefreshZoneTimes();
}

void TfrmMain::dateLocalChange(TObject* Sender) {
  if (Updating) return;
  UpdatingGuard guard(Updating);

  const TKtRegistryTimeZone* selected = SelectedZone();
  if (!selected) return;
  const TIME_ZONE_INFORMATION zone = selected->Rule();

  PanelSource source = PanelSource::Local;
  if (Sender == dateSwatch || Sender == timeSwatch) source = PanelSource::InternetTime;
  else if (Sender == dateUTC || Sender == timeUTC) source = PanelSource::UTC;
  PanelFields fields;
  fields.local = PickerDateTime(dateLocal, timeLocal);
  fields.utc = PickerDateTime(dateUTC, timeUTC);
  fields.beats = timeSwatch->Value();
  fields.beatDay = dateSwatch->Date();
  const PanelState state = RecomputePanel(zone, source, fields);

  if (state.utc) SetPickers(dateUTC, timeUTC, *state.utc);
  if (state.local) SetPickers(dateLocal, timeLocal, *state.local);
  outInvalidTime->SetVisible(state.invalid);
  if (!state.invalid) {
    if (state.secondUtc) {
      SecondUTC = *state.secondUtc;
      SetPickers(dateUTC2, timeUTC2, SecondUTC);
    }
    SetPickers(dateUTC, timeUTC, state.firstUtc);
  }
  const bool secondShown = !state.invalid && state.secondUtc;
  for (TControl* c : std::initializer_list<TControl*>{dateUTC, timeUTC})
    c->SetVisible(!state.invalid);
  for (TControl* c : std::initializer_list<TControl*>{dateUTC2, timeUTC2})
    c->SetVisible(secondShown);

  if (!state.invalid && state.beats) {
    timeSwatch->SetValue(state.beats->first);
    dateSwatch->SetDate(state.beats->second);
  }
  for (TControl* c : std::initializer_list<TControl*>{dateSwatch, timeSwatch, lblSwatch, lblSwatchHead})
    c->SetVisible(!state.invalid);

  if (secondShown && state.secondBeats) {
    SecondBeatDate = state.secondBeats->second;
    timeSwatch2->SetValue(state.secondBeats->first);
    dateSwatch2->SetDate(SecondBeatDate);
  }
  for (TControl* c : std::initializer_list<TControl*>{dateSwatch2, timeSwatch2, lblSwatch2})
    c->SetVisible(secondShown);
}

void TfrmMain::timeUTC2Change(TObject*) {
  SetPickers(dateUTC2, timeUTC2, SecondUTC);
  dateSwatch2->SetDate(SecondBeatDate);
}
