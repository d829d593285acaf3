// DialmoorTester: the time zone tester window on its own, shown.
#include "platform/win/WinApi.h"

#include "platform/gui/Application.h"
#include "tester/testUTC1.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Application->SetTitle("Time Zone Tester");
  // The window is made hidden, as in the clock; here it is the one thing to show.
  Application->CreateForm<TfrmMain>()->Show();
  Application->Run();
  return 0;
}
