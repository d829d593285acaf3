// The about dialog: the program's name, a picture, a copyright line, the company registered
// for the current user and a mail address.
#pragma once

#include "platform/gui/ExtCtrlsWin32.h"
#include "platform/gui/FormsWin32.h"
#include "platform/gui/StdCtrlsWin32.h"

inline constexpr char kCopyrightLine[] = "(C) 2026 the Dialmoor developers";
inline constexpr char kMailAddress[] = "dialmoor@example.org";
// The number under which the hand cursor sits in the application's cursor table.
inline constexpr int crHand = 1;

class TfrmAbout : public TForm {
 public:
  TfrmAbout();
  const char* ClassName() const noexcept override { return "TfrmAbout"; }

  TPanel* Panel1;
  TImage* Image1;
  TLabel *lblApp, *lblCopyright, *lblUserName, *lblCompany, *Label1, *lblMe;
  TBevel* Bevel2;
  TButton* cmdOK;

  void FormCreate(TObject* Sender);
};
