// The embedded configuration on a real executable under Windows: StandIn.exe, built with
// dm_embed_report_config, loads its options and debug information at start and publishes its
// options while it runs. This test's own executable carries an "OZDATA" resource.
#include <gtest/gtest.h>
#include "platform/win/WinApi.h"

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "report/options/EConfigFile.h"
#include "report/options/ECoreOptionsEx.h"
#include "report/options/ECurrentOptions.h"
#include "report/options/EModuleConfigWin32.h"
#include "report/options/EOptionsStream.h"
#include "report/options/ESharedAreaWin32.h"
#include "platform/win/UniqueHandle.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The line of the source that carries marker, counted from 1.
unsigned MarkerLine(const std::string& source, const std::string& marker) {
  std::istringstream in(source);
  std::string line;
  for (unsigned number = 1; std::getline(in, line); ++number)
    if (line.find(marker) != std::string::npos) return number;
  return 0;
}

std::vector<std::uint8_t> FromHex(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

std::string BesideThisProgram(const char* name) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}

struct Lookup {
  std::uintptr_t Address = 0;
  std::string Module, Unit, ClassName, Procedure;
  unsigned Line = 0;
  std::uintptr_t LineAddress = 0;
};

Lookup ParseLookup(const std::string& text) {
  std::vector<std::string> fields;
  std::stringstream in(text);
  for (std::string field; std::getline(in, field, '|');) fields.push_back(field);
  Lookup lookup;
  if (fields.size() != 7) return lookup;
  lookup.Address = std::stoul(fields[0], nullptr, 16);
  lookup.Module = fields[1];
  lookup.Unit = fields[2];
  lookup.ClassName = fields[3];
  lookup.Procedure = fields[4];
  lookup.Line = std::stoul(fields[5]);
  lookup.LineAddress = std::stoul(fields[6], nullptr, 16);
  return lookup;
}

// StandIn.exe, running until the suite ends, and what it said at start.
class StandIn {
 public:
  StandIn() {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, inRead, inWrite;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0)) return;
    output_.reset(outRead);
    UniqueKernelHandle childOut(outWrite);
    if (!CreatePipe(&inRead, &inWrite, &inherit, 0)) return;
    UniqueKernelHandle childIn(inRead);
    input_.reset(inWrite);
    SetHandleInformation(output_.get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(input_.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childIn.get();
    startup.hStdOutput = childOut.get();
    startup.hStdError = childOut.get();
    PROCESS_INFORMATION info{};
    std::string command = "\"";
    command += BesideThisProgram("StandIn.exe");
    command += '"';
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &info))
      return;
    process_.reset(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    childOut.reset();
    childIn.reset();
    std::string line;
    while (ReadLine(line) && line != "ready") {
      const std::size_t space = line.find(' ');
      const std::string key = line.substr(0, space);
      const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
      if (key == "lookup") {
        const std::size_t probeEnd = value.find(' ');
        lookups[value.substr(0, probeEnd)] = ParseLookup(value.substr(probeEnd + 1));
      } else {
        said[key] = value;
      }
    }
    ready = line == "ready";
  }

  // Closing its input ends it; waits for that.
  DWORD Stop() {
    input_.reset();
    DWORD code = 0xFFFFFFFF;
    if (process_ && WaitForSingleObject(process_.get(), 20000) == WAIT_OBJECT_0)
      GetExitCodeProcess(process_.get(), &code);
    return code;
  }

  bool ready = false;
  std::map<std::string, std::string> said;
  std::map<std::string, Lookup> lookups;

 private:
  bool ReadLine(std::string& line) {
    line.clear();
    char c;
    DWORD read = 0;
    while (ReadFile(output_.get(), &c, 1, &read, nullptr) && read == 1) {
      if (c == '\n') return true;
      if (c != '\r') line += c;
    }
    return !line.empty();
  }

  UniqueKernelHandle output_, input_, process_;
};

class ConfigEmbedTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { standIn = new StandIn(); }
  static void TearDownTestSuite() {
    delete standIn;
    standIn = nullptr;
  }
  static StandIn* standIn;
};
StandIn* ConfigEmbedTest::standIn = nullptr;

TEST_F(ConfigEmbedTest, EmbeddedOptionsLoadAndEqualTheRepositoryFile) {
  ASSERT_TRUE(standIn->ready);
  EXPECT_EQ(standIn->said["started"], "1");
  const TOskedaStoredOptions expected = ParseConfigFile(ReadText(DIALMOOR_CONFIG_FILE));
  const auto stream = FromHex(standIn->said["options"]);
  ASSERT_FALSE(stream.empty());
  const TOskedaStoredOptions loaded = ParseStoredOptions(stream.data(), stream.size());
  EXPECT_TRUE(loaded == expected);
  EXPECT_EQ(loaded.MailSubject, expected.MailSubject);
  EXPECT_FALSE(loaded == TOskedaStoredOptions()) << "the file should set options of its own";
}

TEST_F(ConfigEmbedTest, KnownFunctionResolvesToFileClassMethodAndLine) {
  ASSERT_TRUE(standIn->ready);
  const std::string source = ReadText(DIALMOOR_STANDIN_SOURCE);
  const unsigned tickLine = MarkerLine(source, "// probe: Tick entry");
  const unsigned callLine = MarkerLine(source, "// probe: Advance call");
  ASSERT_NE(tickLine, 0u);

  const Lookup& entry = standIn->lookups["entry"];
  EXPECT_NE(entry.Module.find("StandIn.exe"), std::string::npos) << entry.Module;
  EXPECT_EQ(entry.Unit, "tests/report/options/StandInWin32.cpp");
  EXPECT_EQ(entry.ClassName, "TStandInClock");
  EXPECT_EQ(entry.Procedure, "Tick");
  EXPECT_EQ(entry.Line, tickLine);
  EXPECT_EQ(entry.LineAddress, entry.Address);

  const Lookup& call = standIn->lookups["call"];
  EXPECT_EQ(call.Unit, "tests/report/options/StandInWin32.cpp");
  EXPECT_EQ(call.ClassName, "TStandInClock");
  EXPECT_EQ(call.Procedure, "Advance");
  EXPECT_EQ(call.Line, callLine);
  EXPECT_LE(call.LineAddress, call.Address);
  EXPECT_LT(call.Address - call.LineAddress, 64u);
}

TEST_F(ConfigEmbedTest, AddressOutsideTheProgramNamesOnlyItsModule) {
  ASSERT_TRUE(standIn->ready);
  const Lookup& foreign = standIn->lookups["foreign"];
  std::string module = foreign.Module;
  for (char& c : module) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(module.find("kernel32"), std::string::npos) << foreign.Module;
  EXPECT_TRUE(foreign.Procedure.empty());
  EXPECT_EQ(foreign.Line, 0u);
}

TEST_F(ConfigEmbedTest, SharedAreaHoldsThePublishedOptionsWhileTheProgramRuns) {
  ASSERT_TRUE(standIn->ready);
  std::istringstream module(standIn->said["module"]);
  std::string base, pid;
  module >> base >> pid;
  const std::string name = "MODULE" + base + pid;
  const auto area = ReadSharedArea(name);
  ASSERT_TRUE(area.has_value()) << name;
  ASSERT_FALSE(area->empty());
  EXPECT_EQ((*area)[0], 1);
  TOskedaModuleOptionsEx published("", false);
  ASSERT_TRUE(LoadOptionsFromSharedArea(*area, published));
  EXPECT_TRUE(published.StoredOptions() == ParseConfigFile(ReadText(DIALMOOR_CONFIG_FILE)));

  EXPECT_EQ(standIn->Stop(), 0u);
  EXPECT_FALSE(ReadSharedArea(name).has_value()) << "the area ends with the program";
}

// This executable carries an "OZDATA" resource compiled from ConfigResourceOptions.ini.
TEST(ConfigResource, ResourceIsFoundFirstAndHoldsItsOptions) {
  const auto container = ReadModuleConfigContainer(GetModuleHandleA(nullptr));
  ASSERT_TRUE(container.has_value());
  EXPECT_EQ(container->Version, OskedaConfigVersion);
  EXPECT_FALSE(container->DebugInfo.has_value());
  EXPECT_TRUE(container->Options == ParseConfigFile(ReadText(DIALMOOR_RESOURCE_OPTIONS)));
}

// Start-up in this process: the options become current, and each change outside an update
// bracket re-publishes the area with the new content.
TEST(ConfigResource, ChangedRepublishesTheModuleArea) {
  ASSERT_TRUE(StartOskedaModuleConfig());
  TOskedaModuleOptions& options = CurrentOskedaLogOptions();
  const std::string name =
      SharedAreaName("MODULE", GetModuleHandleA(nullptr), GetCurrentProcessId());
  TOskedaModuleOptionsEx readBack("", false);
  ASSERT_TRUE(LoadOptionsFromSharedArea(ReadSharedArea(name).value(), readBack));
  EXPECT_EQ(readBack.MailSubject(), options.MailSubject());

  options.SetMailSubject(std::string(3000, 'x'));  // larger than the first area
  ASSERT_TRUE(LoadOptionsFromSharedArea(ReadSharedArea(name).value(), readBack));
  EXPECT_EQ(readBack.MailSubject(), std::string(3000, 'x'));
  options.SetMailSubject("short");
  ASSERT_TRUE(LoadOptionsFromSharedArea(ReadSharedArea(name).value(), readBack));
  EXPECT_EQ(readBack.MailSubject(), "short");
}

// Another opener may still hold the old area when the options change: the new content must not
// be written past the end of that old, smaller area. It stays as it was until the next change.
TEST(ConfigResource, RepublishingNeverWritesPastAnAreaStillHeldElsewhere) {
  ASSERT_TRUE(StartOskedaModuleConfig());
  TOskedaModuleOptions& options = CurrentOskedaLogOptions();
  options.SetMailSubject("small");
  const std::string name =
      SharedAreaName("MODULE", GetModuleHandleA(nullptr), GetCurrentProcessId());
  UniqueKernelHandle held(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()));
  ASSERT_TRUE(held.valid());

  options.SetMailSubject(std::string(100000, 'y'));
  TOskedaModuleOptionsEx readBack("", false);
  ASSERT_TRUE(LoadOptionsFromSharedArea(ReadSharedArea(name).value(), readBack));
  EXPECT_EQ(readBack.MailSubject(), "small");

  held.reset();
  options.SetMailSubject("after");
  ASSERT_TRUE(LoadOptionsFromSharedArea(ReadSharedArea(name).value(), readBack));
  EXPECT_EQ(readBack.MailSubject(), "after");
}

// A module without a container of its own takes what another copy published for it.
TEST(ConfigResource, ModuleWithoutContainerReadsItsSharedArea) {
  const HMODULE module = GetModuleHandleA("kernel32.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_FALSE(ReadModuleConfigContainer(module).has_value());
  const std::string name = SharedAreaName("MODULE", module, GetCurrentProcessId());
  {
    const std::uint8_t unpublished[] = {0};
    auto area = TSharedArea::Create(name, unpublished);
    ASSERT_TRUE(area.has_value());
    EXPECT_EQ(LoadModuleConfig(module), nullptr);
  }
  TOskedaModuleOptionsEx source("", false);
  source.SetMailRecipients("support@example.invalid");
  const auto block = source.SharedAreaBlock();
  auto area = TSharedArea::Create(name, block);
  ASSERT_TRUE(area.has_value());
  const auto record = LoadModuleConfig(module);
  ASSERT_NE(record, nullptr);
  ASSERT_NE(record->Options, nullptr);
  EXPECT_EQ(record->Options->MailRecipients(), "support@example.invalid");
  EXPECT_FALSE(record->DebugInfo.has_value());
}

TEST(ConfigResource, MissingAreaReadsAsNone) {
  EXPECT_FALSE(ReadSharedArea("MODULE0000000000000000").has_value());
}

}  // namespace
