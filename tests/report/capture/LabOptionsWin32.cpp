#include "tests/report/capture/LabOptionsWin32.h"

#include "platform/win/WinApi.h"

#include <fstream>
#include <sstream>

#include "report/options/EConfigFile.h"
#include "report/options/ECoreOptions.h"
#include "report/options/EModuleConfig.h"
#include "report/options/EOptionsStream.h"
#include "report/options/EStreams.h"

bool LoadLabOptionsFile(const char* path, std::string& error) {
  error.clear();
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::stringstream text;
  text << file.rdbuf();
  TModuleConfigRecord* record =
      OskedaModuleConfigs().FindByBase(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)));
  if (!record || !record->Options) return false;
  try {
    TMemoryStream stream;
    SaveStoredOptions(stream, ParseConfigFile(text.str()));
    stream.SetPosition(0);
    record->Options->LoadFromStream(stream);
  } catch (const Exception& e) {
    error = e.Message();
    return false;
  }
  return true;
}
