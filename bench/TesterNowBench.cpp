// Under Wine: one "&Now" click on the hidden tester (what the clock does every second), and
// the tester's creation.
#include "platform/win/WinApi.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/BenchClock.h"
#include "platform/gui/Application.h"
#include "tester/testUTC1.h"
#include "tests/tz/FakeTimeServices.h"
#include "tz/KtTimezone.h"

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
  // The clock clicks once a second: each click meets a clock one second on, so the pickers
  // really change, as they do on every tick.
  FakeTimeServices clock;
  clock.answer = PlatformTimeServices().GetTimeZoneInformation(clock.zone);
  const TDateTime firstUtc = SystemTimeToDateTime(PlatformTimeServices().GetSystemTime());
  ScopedTimeServices useClock(clock);
  std::vector<double> clicks;
  for (int i = 0; i < 400; ++i) {
    const TDateTime utc = firstUtc + i / SecsPerDay;
    clock.SetUtc(utc);
    clock.local = DateTimeToSystemTime(ZoneUTCToLocal(clock.zone, utc));
    const double start = BenchSeconds();
    form->btnLocD2SClick(form->btnLocNow);
    clicks.push_back((BenchSeconds() - start) * 1e6);
    Application->ProcessMessages();
  }
  std::vector<double> refreshes, recomputes;
  for (int i = 0; i < 100; ++i) {
    double start = BenchSeconds();
    form->RefreshZoneTimes();
    refreshes.push_back((BenchSeconds() - start) * 1e6);
    start = BenchSeconds();
    form->dateLocalChange(form->dateUTC);
    recomputes.push_back((BenchSeconds() - start) * 1e6);
  }
  std::printf("tester: %d zones; refresh %.1f us, recompute %.1f us\n", form->lvTZ->ItemCount(),
              Median(refreshes), Median(recomputes));
  std::printf("BENCH tester_create %.1f ms\n", Median(creations));
  std::printf("BENCH tester_now_click %.1f us\n", Median(clicks));
  form->DoDestroy();
  delete form;
  return 0;
}
