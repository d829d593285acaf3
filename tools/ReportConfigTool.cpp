// Build-time tool: compiles the reporting options file into the configuration container and
// embeds it, with the debug information of the linked executable, into that executable as the
// block appended to its file.
//
//   ReportConfigTool embed --exe FILE --options FILE --source-root DIR --nm NM --objdump OBJDUMP
//                          [--objcopy OBJCOPY --keep-debug FILE] [--key KEY]
//                          [--symbol ID=Class::Procedure]...
//   ReportConfigTool container --options FILE --out FILE      (resource form, no debug info)
//   ReportConfigTool show --exe FILE [--key KEY] [--lookup Class::Procedure]
//
// The key of the debug tables' names comes from the options file's [Build] DebugInfoKey, else
// from --key.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "report/options/EConfigContainer.h"
#include "report/options/EConfigFile.h"
#include "report/options/EOptionsStream.h"
#include "tools/ReportConfigPe.h"
#include "tools/ReportConfigSymbols.h"

namespace {

struct Arguments {
  std::string command;
  std::multimap<std::string, std::string> values;

  std::string Get(const std::string& name, bool required = true) const {
    const auto it = values.find(name);
    if (it == values.end()) {
      if (required) throw std::runtime_error("missing --" + name);
      return {};
    }
    return it->second;
  }
};

Arguments Parse(int argc, char** argv) {
  if (argc < 2) throw std::runtime_error("usage: ReportConfigTool embed|container|show ...");
  Arguments args;
  args.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    std::string name = argv[i];
    if (!name.starts_with("--") || i + 1 >= argc) throw std::runtime_error("bad argument " + name);
    args.values.emplace(name.substr(2), argv[++i]);
  }
  return args;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + temporary);
  }
  // The linker's file mode (executable) carries over to the rewritten file.
  std::error_code ignored;
  const auto status = std::filesystem::status(path, ignored);
  if (std::filesystem::exists(status))
    std::filesystem::permissions(temporary, status.permissions(), ignored);
  if (std::rename(temporary.c_str(), path.c_str()) != 0)
    throw std::runtime_error("cannot replace " + path);
}

#ifdef _WIN32
// cmd.exe: double quotes (paths hold none).
std::string Quote(const std::string& text) { return "\"" + text + "\""; }
#define popen _popen
#define pclose _pclose
#else
std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}
#endif

// Runs a command and returns what it printed; a failing command is an error.
std::string Run(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run " + command);
  std::string output;
  char buffer[65536];
  std::size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, count);
  if (pclose(pipe) != 0) throw std::runtime_error("command failed: " + command);
  return output;
}

std::vector<std::uint8_t> CompileOptions(const std::string& path, TConfigFileBuild* build = nullptr) {
  const auto text = ReadFile(path);
  try {
    const TOskedaStoredOptions options = ParseConfigFile(
        std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), build);
    TMemoryStream stream;
    SaveStoredOptions(stream, options);
    return stream.Bytes();
  } catch (const EConfigFileError& error) {
    throw std::runtime_error(path + ":" + error.Message());
  }
}

// The build date-time as the runtime counts it; SOURCE_DATE_EPOCH makes builds reproducible.
double BuildDate() {
  std::int64_t seconds;
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"))
    seconds = std::strtoll(epoch, nullptr, 10);
  else
    seconds = std::chrono::duration_cast<std::chrono::seconds>(
                  std::chrono::system_clock::now().time_since_epoch())
                  .count();
  return static_cast<double>(seconds) / 86400.0 + 25569.0;
}

// The file without a block an earlier run appended.
std::vector<std::uint8_t> WithoutAppendedBlock(std::vector<std::uint8_t> file) {
  const auto block = FindAppendedConfigBlock(file);
  if (!block.empty()) file.resize(file.size() - block.size() - 8);
  return file;
}

int Embed(const Arguments& args) {
  const std::string exe = args.Get("exe");
  const std::vector<std::uint8_t> linked = WithoutAppendedBlock(ReadFile(exe));
  const TPeImage image = ParsePeImage(linked);

  const std::string symbolsText = Run(Quote(args.Get("nm")) + " -C --defined-only " + Quote(exe));
  const std::string linesText =
      Run(Quote(args.Get("objdump")) + " --wide --dwarf=decodedline " + Quote(exe));
  const TDebugInfo debugInfo =
      BuildDebugInfo(ParseNmOutput(symbolsText), ParseDecodedLines(linesText), image.ImageBase,
                     args.Get("source-root"));
  if (std::none_of(debugInfo.Procedures().begin(), debugInfo.Procedures().end(),
                   [&](const TDebugProcedure& p) { return !debugInfo.String(p.Unit).empty(); }))
    throw std::runtime_error("no line information for the program's own code (built with -g?)");

  std::vector<TConfigDirectoryEntry> directory;
  for (auto [it, end] = args.values.equal_range("symbol"); it != end; ++it) {
    const std::size_t equals = it->second.find('=');
    if (equals == std::string::npos) throw std::runtime_error("--symbol wants ID=Name");
    const int id = std::stoi(it->second.substr(0, equals));
    if (const TDebugProcedure* p = debugInfo.FindProcedure(it->second.substr(equals + 1)))
      directory.push_back({static_cast<std::uint8_t>(id), p->Start, p->Size});
  }

  TConfigFileBuild build;
  const auto options = CompileOptions(args.Get("options"), &build);
  // A key on the command line stands in for one the options file does not name.
  const std::string key = build.DebugInfoKey.empty() ? args.Get("key", false) : build.DebugInfoKey;
  const auto block = BuildConfigBlock(BuildDate(), directory, options, &debugInfo, key);

  std::vector<std::uint8_t> shipped = linked;
  const std::string objcopy = args.Get("objcopy", false);
  if (!objcopy.empty()) {
    const std::string keepDebug = args.Get("keep-debug");
    WriteFile(keepDebug, linked);
    const std::string stripped = exe + ".stripped";
    Run(Quote(objcopy) + " --strip-debug " + Quote(keepDebug) + " " + Quote(stripped));
    shipped = ReadFile(stripped);
    std::remove(stripped.c_str());
  }
  const auto trailer = ConfigTrailerFromBlock(block);
  shipped.insert(shipped.end(), trailer.begin(), trailer.end());
  // The tables describe the image as linked; whatever happened since must not have moved it.
  if (const std::string difference = CompareLoadedImage(linked, shipped); !difference.empty())
    throw std::runtime_error("the loaded image changed: " + difference);
  WriteFile(exe, shipped);

  const auto encoded = debugInfo.Encode();
  std::printf(
      "%s: %zu procedures, %zu line rows, debug information %zu bytes (%zu in the "
      "container) for %llu bytes of code; container %zu bytes%s\n",
      exe.c_str(), debugInfo.Procedures().size(), debugInfo.LineCount(), encoded.size(),
      block.size(), static_cast<unsigned long long>(debugInfo.CodeSize()), trailer.size(),
      key.empty() ? "" : "; names enciphered");
  return 0;
}

int Container(const Arguments& args) {
  const auto block =
      BuildConfigBlock(BuildDate(), {}, CompileOptions(args.Get("options")), nullptr);
  WriteFile(args.Get("out"), ConfigResourceFromBlock(block));
  return 0;
}

int Show(const Arguments& args) {
  const auto file = ReadFile(args.Get("exe"));
  const auto block = FindAppendedConfigBlock(file);
  if (block.empty()) throw std::runtime_error("no configuration block appended");
  TConfigReadSettings settings;
  const std::string key = args.Get("key", false);
  settings.RequestKey = [key] { return key; };
  const TConfigContainer container = ReadConfigBlock(block, settings);
  std::printf("version %d, build date %.6f, %zu directory entries, options stream %zu bytes\n",
              container.Version, container.BuildDate, container.Directory.size(),
              container.OptionsStream.size());
  if (!container.DebugInfo) return 0;
  const TDebugInfo& info = *container.DebugInfo;
  std::printf("%zu procedures, %zu line rows, %llu bytes of code%s\n", info.Procedures().size(),
              info.LineCount(), static_cast<unsigned long long>(info.CodeSize()),
              info.NamesEnciphered() ? ", names enciphered" : "");
  const std::string lookup = args.Get("lookup", false);
  if (!lookup.empty()) {
    const TDebugProcedure* p = info.FindProcedure(lookup);
    if (!p) throw std::runtime_error("no procedure " + lookup);
    const TDebugLocation at = info.Lookup(p->Start);
    std::printf("%s at +%08X, %u bytes: %.*s line %u\n", lookup.c_str(), p->Start, p->Size,
                static_cast<int>(at.Unit.size()), at.Unit.data(), at.Line);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Arguments args = Parse(argc, argv);
    if (args.command == "embed") return Embed(args);
    if (args.command == "container") return Container(args);
    if (args.command == "show") return Show(args);
    throw std::runtime_error("unknown command " + args.command);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ReportConfigTool: %s\n", error.what());
    return 1;
  }
}
