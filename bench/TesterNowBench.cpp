// Under Wine: one "&Now" click on the hidden tester (what the clock does every second), and
// the tester's creation.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/BenchClock.h"
#include "platform/gui/Application.h"
#include "tester/testUTC1.h"

int main() {
  std::vector<double> creations;
  TfrmMain* form = nullptr;
  for (int i = 0; i < 5; ++i) {
    if (form) {
      form->DoDestroy();
      delete form;
    }
    const double start = BenchSeconds();
    form = Application->CreateForm<TfrmMain>();
    creations.push_back((BenchSeconds() - start) * 1e3);
  }
  std::vector<double> clicks;
  for (int i = 0; i < 400; ++i) {
    const double start = BenchSeconds();
    form->btnLocD2SClick(form->btnLocNow);
    clicks.push_back((BenchSeconds() - start) * 1e6);
    Application->ProcessMessages();
  }
  std::printf("tester: %d zones\n", form->lvTZ->ItemCount());
  std::printf("BENCH tester_create %.1f ms\n", Median(creations));
  std::printf("BENCH tester_now_click %.1f us\n", Median(clicks));
  form->DoDestroy();
  delete form;
  return 0;
}
