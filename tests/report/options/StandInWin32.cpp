// A stand-in for the program: it carries the embedded reporting configuration, starts it the
// way the program does, and answers ConfigEmbedTest through its standard output. It keeps
// running (and so keeps its shared area) until its standard input is closed.
#include "platform/win/WinApi.h"

#include <cstdio>
#include <string>

#include "report/options/ECurrentOptions.h"
#include "report/options/EModuleConfigWin32.h"
#include "report/options/EStreams.h"

class TStandInClock {
 public:
  static int Tick(int seconds);
  // Kept out of line, and its call below kept a real call (not a jump), so that the call is a
  // frame of its own as in a real stack.
  __attribute__((noinline, optimize("no-optimize-sibling-calls"))) const void* Advance(int seconds);

 private:
  int elapsed_ = 0;
};

namespace {

__attribute__((noinline)) const void* CallerAddress() { return __builtin_return_address(0); }

void PrintLookup(const char* probe, const void* address) {
  const TAddressInfo info = LookupAddress(address);
  std::printf("lookup %s %08X|%s|%s|%s|%s|%u|%08X\n", probe,
              static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(address)), info.Module.c_str(),
              info.Unit.c_str(), info.ClassName.c_str(), info.Procedure.c_str(), info.Line,
              static_cast<unsigned>(info.LineAddress));
}

}  // namespace

int TStandInClock::Tick(int seconds) {  // probe: Tick entry
  return seconds % 60;
}

const void* TStandInClock::Advance(int seconds) {
  elapsed_ += Tick(seconds);
  const void* inside = CallerAddress();  // probe: Advance call
  return elapsed_ >= 0 ? inside : nullptr;
}

int main() {
  const bool started = StartOskedaModuleConfig();
  std::printf("started %d\n", started ? 1 : 0);
  std::printf("module %08X %08X\n",
              static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr))),
              static_cast<unsigned>(GetCurrentProcessId()));
  if (TOskedaModuleOptions* options = FindCurrentOskedaLogOptions()) {
    TMemoryStream stream;
    options->SaveToStream(stream);
    std::string hex;
    char digits[3];
    for (std::uint8_t byte : stream.Bytes()) {
      std::snprintf(digits, sizeof digits, "%02X", byte);
      hex += digits;
    }
    std::printf("options %s\n", hex.c_str());
  }
  TStandInClock clock;
  PrintLookup("entry", reinterpret_cast<const void*>(&TStandInClock::Tick));
  // The call instruction itself, as the stack walk reports a return address.
  PrintLookup("call", static_cast<const char*>(clock.Advance(75)) - 1);
  PrintLookup("foreign", reinterpret_cast<const void*>(
                             GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount")));
  std::printf("ready\n");
  std::fflush(stdout);
  char buffer[64];
  while (std::fgets(buffer, sizeof buffer, stdin)) {
  }
  return 0;
}
