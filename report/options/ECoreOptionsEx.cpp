#include "report/options/ECoreOptionsEx.h"

#include "report/options/ECurrentOptions.h"

void TOskedaModuleOptionsEx::Changed() {
  const std::vector<std::uint8_t> block = SharedAreaBlock();
  Environment().PublishModuleOptions(OwnerModuleName(), block);
}

std::vector<std::uint8_t> TOskedaModuleOptionsEx::SharedAreaBlock() const {
  TMemoryStream stream;
  const std::uint8_t published = 1;
  stream.Write(&published, 1);
  SaveToStream(stream);
  return stream.Bytes();
}

void TOskedaModuleOptionsEx::SetEnabled(bool value) {
  const bool changes = value != Enabled();
  TOskedaModuleOptions::SetEnabled(value);
  if (!changes || FindCurrentOskedaLogOptions() != this) return;
  if (value && FreezeWatch())
    Environment().StartFreezeWatch();
  else
    Environment().StopFreezeWatch();
}

void TOskedaModuleOptionsEx::SetFreezeWatch(bool value) {
  const bool changes = value != FreezeWatch();
  TOskedaModuleOptions::SetFreezeWatch(value);
  if (!changes || FindCurrentOskedaLogOptions() != this) return;
  if (value && Enabled())
    Environment().StartFreezeWatch();
  else
    Environment().StopFreezeWatch();
}

bool LoadOptionsFromSharedArea(std::span<const std::uint8_t> block, TOskedaModuleOptions& options) {
  if (block.empty() || block[0] == 0) return false;
  TMemoryStream stream(block.subspan(1));
  options.LoadFromStream(stream);
  return true;
}
