#include "app/AboutForm.h"

#include "app/AboutCompany.h"
#include "platform/gui/ApplicationWin32.h"
#include "platform/gui/DialogsWin32.h"

TfrmAbout::TfrmAbout() {
  Name = "frmAbout";
  SetCaption("About");
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetClientSize(305, 214);
  Position = poScreenCenter;
  SetIconResource("MAINICON");

  Panel1 = new TPanel(this);
  Panel1->Name = "Panel1";
  Panel1->SetBevelInner(bvNone);
  Panel1->SetBevelOuter(bvLowered);
  Panel1->SetColor(clBackground);
  Panel1->SetBounds(8, 8, 69, 199);
  Image1 = new TImage(Panel1);
  Image1->Name = "Image1";
  Image1->SetAlign(alClient);
  Image1->LoadFromResourceName("ABOUTPICTURE");

  auto label = [this](const char* name, int top, int width, const char* caption) {
    auto* l = new TLabel(this);
    l->Name = name;
    l->SetAutoSize(width == 0);
    l->SetBounds(91, top, width, 13);
    l->SetCaption(caption);
    l->SetTransparent(true);
    return l;
  };
  lblApp = label("lblApp", 13, 202, "Dialmoor");
  lblApp->Font().SetStyle(fsBold);
  lblApp->Font().SetColor(clBlack);
  lblCopyright = label("lblCopyright", 32, 202, kCopyrightLine);
  lblUserName = label("lblUserName", 99, 202, "");
  lblCompany = label("lblCompany", 116, 0, "");

  Bevel2 = new TBevel(this);
  Bevel2->Name = "Bevel2";
  Bevel2->Shape = bsTopLine;
  Bevel2->SetBounds(91, 137, 202, 2);

  Label1 = label("Label1", 147, 202, "Dialmoor's mail address:");
  Label1->SetTransparent(false);
  lblMe = label("lblMe", 164, 0, kMailAddress);
  lblMe->Font().SetColor(clBlue);
  lblMe->Font().SetStyle(fsUnderline);

  cmdOK = new TButton(this);
  cmdOK->Name = "cmdOK";
  cmdOK->SetCaption("OK");
  cmdOK->SetBounds(220, 185, 75, 23);
  cmdOK->ModalResult = mrOk;
  cmdOK->SetDefault(true);
  SetActiveControl(cmdOK);

  OnCreate = Handler(this, &TfrmAbout::FormCreate);
}

void TfrmAbout::FormCreate(TObject*) {
  // Without the resource the table holds no cursor and the label keeps the default one.
  if (HCURSOR hand = LoadResourceCursor("HAND")) Application->SetCursor(crHand, hand);
  lblMe->Cursor = crHand;
  lblCompany->SetCaption(RegisteredCompanyCaption());
}
