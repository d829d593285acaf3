#include <gtest/gtest.h>

#include "report/capture/EModuleSymbolResolver.h"

TEST(ModuleSymbolResolver, KindsFromWhatNamesTheCode) {
  TDebugInfo debug;
  const TDebugLine rows[] = {{0x1000, 10}, {0x1008, 12}};
  debug.AddProcedure(0x1000, 0x20, "app/Unit1.cpp", "TForm1", "Timer1Timer", rows);
  debug.AddProcedure(0x1100, 0x10, "app/Unit1.cpp", "", "NoLines", {});
  debug.AddProcedure(0x4000, 0x100, "", "", "operator new", {});
  debug.AddProcedure(0x5000, 0x40, "", "__cxxabiv1", "__cxa_throw", {});

  TModuleSymbolResolver resolver;
  resolver.AddModule({0x7C800000,
                      0x10000,
                      "C:\\windows\\system32\\kernel32.dll",
                      nullptr,
                      {{0x2000, "RaiseException"}, {0x1000, "CreateThread"}}});
  resolver.AddModule({0x00400000,
                      0x8000,
                      "C:\\app\\Dialmoor.exe",
                      &debug,
                      {{0x6000, "Exported"}}});
  resolver.AddModule({0x10000000, 0x1000, "C:\\plain.dll", nullptr, {}});

  TResolvedAddress r = resolver.Resolve(0x0040100B);
  EXPECT_EQ(r.Kind, mkOwnCode);
  EXPECT_EQ(r.ModuleHandle, 0x00400000u);
  EXPECT_EQ(r.ModulePath, "C:\\app\\Dialmoor.exe");
  EXPECT_EQ(r.UnitName, "app/Unit1.cpp");
  EXPECT_EQ(r.ClassName, "TForm1");
  EXPECT_EQ(r.ProcedureName, "Timer1Timer");
  EXPECT_EQ(r.Line, 12u);
  EXPECT_EQ(r.LineOffset, 3u);

  r = resolver.Resolve(0x00401104);
  EXPECT_EQ(r.Kind, mkOwnCode);
  EXPECT_EQ(r.ProcedureName, "NoLines");
  EXPECT_EQ(r.Line, 0u);

  r = resolver.Resolve(0x00405010);
  EXPECT_EQ(r.Kind, mkRuntimeCode);
  EXPECT_EQ(r.UnitName, "");
  EXPECT_EQ(r.ClassName, "__cxxabiv1");
  EXPECT_EQ(r.ProcedureName, "__cxa_throw");
  EXPECT_EQ(r.Line, 0u);
  EXPECT_EQ(resolver.Resolve(0x004040FF).ProcedureName, "operator new");
  // Past the runtime procedure's end, and in the exports of a module with tables: unnamed.
  EXPECT_EQ(resolver.Resolve(0x00404100).Kind, mkNoSymbols);
  EXPECT_EQ(resolver.Resolve(0x00406000).Kind, mkNoSymbols);

  r = resolver.Resolve(0x7C802010);
  EXPECT_EQ(r.Kind, mkSystemExport);
  EXPECT_EQ(r.ProcedureName, "RaiseException");
  EXPECT_EQ(resolver.Resolve(0x7C800FFF).Kind, mkNoSymbols);

  EXPECT_EQ(resolver.Resolve(0x10000FFF).Kind, mkNoSymbols);
  r = resolver.Resolve(0x10001000);  // one past the module's end
  EXPECT_EQ(r.Kind, mkNoModule);
  EXPECT_EQ(r.ModulePath, "");
  EXPECT_EQ(resolver.Resolve(0).Kind, mkNoModule);
}
