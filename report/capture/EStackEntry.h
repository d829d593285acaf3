// One frame of a call stack and the module and symbol lookup that gives it its kind and names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Module kinds of a frame. The call-stack block lists kind 4 always and kinds 2 and 3 on
// request, so the kinds order the frames by how much they tell the program's developer.
enum TOskedaModuleKind : std::uint8_t {
  mkNoModule = 0,      // the address lies in no loaded module
  mkNoSymbols = 1,     // in a module, but nothing names the code there
  mkSystemExport = 2,  // a module without our tables: the nearest export before the address
  mkRuntimeCode = 3,   // statically linked runtime code of a module with our tables
  mkOwnCode = 4,       // the program's own code, named by the module's debug information
};

// A frame's kind as a bit of a kind mask (bit n for kind n).
constexpr std::uint32_t KindBit(std::uint8_t kind) { return kind < 32 ? 1u << kind : 0u; }
constexpr std::uint32_t AllKindsMask = 0x1F;

// What the resolver knows about an address. ModulePath empty: no module.
struct TResolvedAddress {
  std::uint8_t Kind = mkNoModule;
  std::uint32_t ModuleHandle = 0;
  std::string ModulePath;
  std::string UnitName;
  std::string ClassName;
  std::string ProcedureName;
  std::uint32_t Line = 0;        // 0: unknown
  std::uint32_t LineOffset = 0;  // bytes from the start of that line to the address
};

struct TOskedaStackEntry : TResolvedAddress {
  std::uint32_t ThreadId = 0;
  bool Running = false;
  std::uint32_t Address = 0;
};

using TOskedaStackList = std::vector<TOskedaStackEntry>;

// Turns a code address into its module and names. Called once per candidate frame; it must not
// fault on any address.
class TAddressResolver {
 public:
  virtual ~TAddressResolver() = default;
  virtual TResolvedAddress Resolve(std::uint32_t address) const = 0;
};
