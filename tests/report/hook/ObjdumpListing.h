// The disassembly listings of the program's own code that the build makes with objdump
// (ObjdumpListing.cmake): functions with their bytes and objdump's instruction boundaries.
#pragma once

#include <cstdint>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

struct TListedInstruction {
  std::size_t Offset;  // in its function
  std::size_t Length;
  std::string Text;
};

struct TListedFunction {
  std::string Name;
  std::uint32_t Address;  // in its section, as objdump prints jump targets
  std::vector<std::uint8_t> Code;
  std::vector<TListedInstruction> Instructions;
};

inline std::vector<std::string> ListingFiles() {
  std::vector<std::string> files;
  std::stringstream all(DM_HOOK_LISTINGS);
  for (std::string file; std::getline(all, file, ',');)
    if (!file.empty()) files.push_back(file);
  return files;
}

// objdump -d -z --insn-width=16: "<name>:" opens a function, "  addr:\tbytes\ttext" is one
// instruction with all its bytes on its line.
inline std::vector<TListedFunction> ReadListing(const std::string& path) {
  static const std::regex function(R"(^([0-9a-f]+) <(.*)>:$)");
  static const std::regex instruction(R"(^ *[0-9a-f]+:\t([0-9a-f ]+)\t?(.*)$)");
  std::vector<TListedFunction> functions;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (std::regex_match(line, m, function)) {
      functions.push_back(
          {m[2], static_cast<std::uint32_t>(std::stoul(m[1].str(), nullptr, 16)), {}, {}});
    } else if (!functions.empty() && std::regex_match(line, m, instruction)) {
      TListedFunction& f = functions.back();
      std::istringstream hex(m[1].str());
      const std::size_t offset = f.Code.size();
      for (std::string byte; hex >> byte;)
        f.Code.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
      f.Instructions.push_back({offset, f.Code.size() - offset, m[2]});
    }
  }
  return functions;
}
