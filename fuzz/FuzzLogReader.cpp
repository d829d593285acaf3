// Hostile log files: reading, every reader of every stored report and the XML copy must
// neither crash nor read out of bounds; a read report saved and read again stays the same.
// The first byte picks whether the rest is a whole log file or one report's text, and
// whether the names are deciphered.
#include <cstdint>
#include <string>
#include <vector>

#include "delivery/log/ECallStackNames.h"
#include "delivery/log/ELogFile.h"
#include "tests/delivery/log/LogTestSupport.h"

namespace {

const std::string Name = "C:\\Logs\\fuzz.osk";

void ReadEverything(TLogFile& log) {
  static const std::vector<std::string> ids = {"2.2", "2.3", "2.4", "2.5"};
  static const std::vector<std::string> values = {"0041B27A", "Dialmoor.exe", "E", "a\r\n\r\nb: c"};
  log.IsDuplicate(ids, values);
  for (int i = 0; i < log.Count(); ++i) {
    for (const char* id : {"1.1", "2.5", "7.1", "8.1", ""}) log.GetFieldValue(i, id);
    log.GetVersion(i);
    log.GetHeaderPart(i);
    log.GetCallStack(i);
    log.GetModules(i);
    log.GetProcessor(i);
    log.GetReproduceText(i);
  }
  log.LogToXML();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  logtest::TMemoryLogFileSystem fs;
  if (mode & 1) {
    fs.Files[Name] = text;
  } else {
    TLogFile writer(Name, false, fs);
    writer.AddReport(text, 1 + (mode >> 4));
    writer.Save();
  }
  TLogFile log(Name, false, fs);
  if (mode & 2) log.SetNamesPassword("fuzz");
  ReadEverything(log);

  // What was read is what is saved and read back.
  log.Save();
  TLogFile again(Name, true, fs);
  if (again.Reports() != log.Reports()) __builtin_trap();
  return 0;
}
