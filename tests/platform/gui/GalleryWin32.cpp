// Shows a form with every control of the runtime, laid out like the program's windows, so that
// a screenshot can be taken. "Gallery 10" closes itself after 10 seconds.
#include <cstdlib>

#include "platform/gui/ComCtrlsWin32.h"
#include "platform/gui/ExtCtrlsWin32.h"
#include "platform/gui/FormsWin32.h"
#include "platform/FormatDateTime.h"
#include "platform/gui/MenusWin32.h"
#include "platform/gui/SpinWin32.h"
#include "platform/gui/StdCtrlsWin32.h"

namespace {

class TGalleryForm : public TForm {
 public:
  explicit TGalleryForm(int seconds) {
    SetCaption("Time Zone Tester - control gallery");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetClientSize(785, 520);
    SetBounds(4, 4, Width(), Height());

    lvTZ = new TListView(this);
    lvTZ->SetBounds(5, 8, 386, 329);
    lvTZ->AddColumn("GMT", 40);
    lvTZ->AddColumn("Name", 114);
    lvTZ->AddColumn("H", 20);
    lvTZ->AddColumn("StdB", 35, taRightJustify);
    lvTZ->AddColumn("DltB", 35, taRightJustify);
    lvTZ->AddColumn("S", 20);
    lvTZ->AddColumn("Date Time", 100, taCenter);
    lvTZ->SetRowSelect(true);
    lvTZ->SetHideSelection(false);
    struct Row { const char* gmt; const char* name; const char* home; int std, dlt; const char* s; };
    static const Row rows[] = {
        {"-08:00", "Pacific Standard Time", "", 480, 420, "N", },
        {"-05:00", "Eastern Standard Time", "", 300, 240, "N"},
        {"", "GMT Standard Time", "", 0, -60, "N"},
        {"+01:00", "Romance Standard Time", "", -60, -120, "N"},
        {"+01:00", "W. Europe Standard Time", "H", -60, -120, "N"},
        {"+05:30", "India Standard Time", "", -330, -330, "N"},
        {"+05:45", "Nepal Standard Time", "", -345, -345, "N"},
        {"+10:00", "AUS Eastern Standard Time", "", -600, -660, "Y"}};
    const TDateTime utc = EncodeDateTime(2026, 12, 7, 13, 5, 0, 0);
    for (const Row& r : rows) {
      TListItem* item = lvTZ->AddItem();
      item->SetCaption(r.gmt);
      item->SubItems().Add(r.name);
      item->SubItems().Add(r.home);
      item->SubItems().Add(std::to_string(r.std));
      item->SubItems().Add(std::to_string(r.dlt));
      item->SubItems().Add(r.s);
      const int bias = r.s[0] == 'Y' ? r.dlt : r.std;
      item->SubItems().Add(FormatDateTime("yyyy.mm.dd hh:nn", utc - bias / 1440.0));
    }
    lvTZ->Item(4)->SetSelected(true);

    StaticText1 = new TStaticText(this);
    StaticText1->SetBounds(394, 8, 385, 18);
    StaticText1->SetBorderStyle(sbsSunken);
    StaticText1->SetCaption(" (UTC+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna ");
    StaticText2 = new TStaticText(this);
    StaticText2->SetBounds(5, 341, 386, 18);
    StaticText2->SetBorderStyle(sbsSunken);
    StaticText2->SetCaption("W. Europe Standard Time");
    StaticText2->Hint = "current status of time zone";

    grp = new TGroupBox(this);
    grp->SetBounds(394, 24, 385, 337);
    Label(grp, "Standard time:", 8, 12);
    Label(grp, "Month:", 162, 12);
    Spin(grp, 200, 8, 10, 1, 12, "starting month");
    Label(grp, "wDay:", 247, 12);
    Spin(grp, 280, 8, 5, 1, 5, "starting weekday [ 5 = last ]");
    Speed(grp, 327, 9);
    Memo(grp, 8, 32, {"W. Europe Standard Time, -60 minute bias",
                      "Starts on last Sunday of October at 01:00:00 GMT",
                      "This year: 25.10.2026 03:00:00"});
    Label(grp, "Daylight saving time:", 8, 88);
    Label(grp, "Month:", 162, 86);
    Spin(grp, 200, 82, 3, 1, 12, "starting month");
    Label(grp, "wDay:", 246, 86);
    Spin(grp, 280, 82, 5, 1, 5, "starting weekday [ 5 = last ]");
    Speed(grp, 327, 83);
    Memo(grp, 8, 110, {"W. Europe Daylight Time, -120 minute bias",
                       "Starts on last Sunday of March at 01:00:00 GMT",
                       "This year: 29.03.2026 02:00:00"});
    Label(grp, "Current UTC bias:", 8, 164);
    auto* outUTCBias = new TEdit(grp);
    outUTCBias->SetBounds(96, 160, 41, 21);
    outUTCBias->SetReadOnly(true);
    outUTCBias->SetParentColor(true);
    outUTCBias->SetText("-60");
    Label(grp, "minutes", 144, 164);
    Label(grp, "&Local time:", 8, 192);
    Label(grp, "&UTC time:", 208, 192);
    const TDateTime local = utc + 1 / 24.0;
    Picker(grp, dtkDate, 8, 208, 89, local);
    Picker(grp, dtkTime, 100, 208, 73, local);
    Picker(grp, dtkDate, 208, 208, 89, utc);
    Picker(grp, dtkTime, 300, 208, 73, utc);
    Button(grp, "&Now", 8, 240, true);
    Button(grp, "Start of &Standard Time", 8, 272, true);
    Button(grp, "Start of &Daylight Saving Time", 8, 304, false);
    Label(grp, "&Internet Time:", 208, 264);
    Picker(grp, dtkDate, 208, 280, 89, utc);
    Label(grp, "@", 304, 284);
    auto* beats = Spin(grp, 320, 280, 587, 0, 999, "");
    beats->SetMaxLength(3);

    Panel1 = new TPanel(this);
    Panel1->SetBounds(5, 368, 365, 116);
    Panel1->SetBevelInner(bvLowered);
    Panel1->SetBevelOuter(bvRaised);
    Panel1->SetBevelWidth(3);
    Panel1->SetColor(clAqua);
    Panel1->Hint = "Right-Click Mouse to show menu!";
    ClockLabel(20, 12, 32, -27, "14:05:09");
    ClockLabel(20, 52, 16, 0, "12/07/2026");
    ClockLabel(188, 12, 32, -27, "13:05:09");
    ClockLabel(188, 52, 16, 0, "12/07/2026");

    auto* bevelled = new TPanel(this);
    bevelled->SetBounds(394, 368, 180, 116);
    bevelled->SetBevelInner(bvRaised);
    bevelled->SetBevelOuter(bvLowered);
    bevelled->SetBevelWidth(3);
    bevelled->SetCaption("Channel");
    auto* about = new TLabel(this);
    about->SetBounds(590, 372, 0, 0);
    about->SetCaption("Dialmoor");
    about->Font().SetStyle(fsBold);
    auto* line = new TBevel(this);
    line->SetBounds(590, 392, 185, 2);
    line->Shape = bsTopLine;
    auto* mail = new TLabel(this);
    mail->SetBounds(590, 400, 0, 0);
    mail->SetCaption("clock@dialmoor.example");
    mail->Font().SetColor(clBlue);
    mail->Font().SetStyle(fsUnderline);
    auto* ok = new TButton(this);
    ok->SetBounds(700, 455, 75, 23);
    ok->SetCaption("OK");
    ok->SetDefault(true);

    StatusBar1 = new TStatusBar(this);
    StatusBar1->SetSimplePanel(true);
    StatusBar1->SetSimpleText("starting month");
    Application->OnHint = [this](TObject*) { StatusBar1->SetSimpleText(Application->Hint()); };

    if (seconds > 0) {
      auto* timer = new TTimer(this);
      timer->SetInterval(static_cast<unsigned>(seconds) * 1000);
      timer->OnTimer = [this](TObject*) { Close(); };
    }
    SetVisible(true);
  }

 private:
  TLabel* Label(TWinControl* parent, const char* caption, int left, int top) {
    auto* label = new TLabel(parent);
    label->SetBounds(left, top, 0, 0);
    label->SetCaption(caption);
    return label;
  }
  TSpinEdit* Spin(TWinControl* parent, int left, int top, int value, int min, int max,
                  const char* hint) {
    auto* spin = new TSpinEdit(parent);
    spin->SetBounds(left, top, max > 99 ? 49 : 41, 22);
    spin->SetRange(min, max);
    spin->SetValue(value);
    spin->Hint = hint;
    return spin;
  }
  void Speed(TWinControl* parent, int left, int top) {
    auto* button = new TSpeedButton(parent);
    button->SetBounds(left, top, 49, 22);
    button->SetCaption("Set");
  }
  void Memo(TWinControl* parent, int left, int top, std::initializer_list<const char*> lines) {
    auto* memo = new TMemo(parent);
    memo->SetBounds(left, top, 369, 49);
    memo->SetReadOnly(true);
    memo->SetParentColor(true);
    for (const char* line : lines) memo->Lines().Add(line);
  }
  void Picker(TWinControl* parent, TDateTimeKind kind, int left, int top, int width,
              TDateTime value) {
    auto* picker = new TDateTimePicker(parent, kind);
    picker->SetBounds(left, top, width, 21);
    picker->SetDateTime(value);
  }
  void Button(TWinControl* parent, const char* caption, int left, int top, bool enabled) {
    auto* button = new TButton(parent);
    button->SetBounds(left, top, 165, 25);
    button->SetCaption(caption);
    button->SetEnabled(enabled);
  }
  void ClockLabel(int left, int top, int height, int fontHeight, const char* caption) {
    auto* label = new TLabel(Panel1);
    label->SetAutoSize(false);
    label->SetBounds(left, top, 153, height);
    label->SetAlignment(taCenter);
    label->SetTransparent(true);
    if (fontHeight) {
      label->Font().SetName("Arial");
      label->Font().SetHeight(fontHeight);
    } else {
      label->Font().SetName("System");
      label->Font().SetHeight(-15);
    }
    label->Font().SetStyle(fsBold);
    label->SetCaption(caption);
  }

  TListView* lvTZ;
  TStaticText* StaticText1;
  TStaticText* StaticText2;
  TGroupBox* grp;
  TPanel* Panel1;
  TStatusBar* StatusBar1;
};

}  // namespace

int main(int argc, char** argv) {
  Application->SetTitle("Dialmoor");
  Application->CreateForm<TGalleryForm>(argc > 1 ? std::atoi(argv[1]) : 0);
  Application->Run();
  return 0;
}
