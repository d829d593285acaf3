// Dialmoor: the clock window, with the hidden tester window as its engine and the about dialog.
#include "platform/win/WinApi.h"

#include "app/AboutForm.h"
#include "app/Unit1.h"
#include "platform/gui/ApplicationWin32.h"
#include "tester/testUTC1.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Application->SetTitle("Dialmoor");
  TForm1* clock = Application->CreateForm<TForm1>();
  // Building the hidden tester takes longer than the whole clock did, and the loop that would
  // paint the strip starts only after it: painted now, the strip does not stand there blank.
  RedrawWindow(clock->Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  clock->Tester = Application->CreateForm<TfrmMain>();
  clock->About = Application->CreateForm<TfrmAbout>();
  Application->Run();
  return 0;
}
