// Hostile gzip data: ReadGZip either inflates it or refuses it with a read error. The first
// byte picks the input: the bytes as they are, or a well-formed gzip file of the rest with one
// byte changed, so that damage deep inside a real deflate stream is reached too.
#include <cstdint>
#include <vector>

#include "delivery/package/ETarGZip.h"

namespace {

void Check(const std::vector<std::uint8_t>& input) {
  TMemoryStream source(input), target;
  try {
    ReadGZip(source, target);
  } catch (const EReadError&) {
    return;
  }
  // What was read must survive a round trip through the writer.
  TMemoryStream again(GZipTarStream(target.Bytes(), "x.tar")), copy;
  ReadGZip(again, copy);
  if (copy.Bytes() != target.Bytes()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] % 2 == 0 || size < 4) {
    Check(std::vector<std::uint8_t>(data + 1, data + size));
    return 0;
  }
  std::vector<std::uint8_t> gzip = GZipTarStream({data + 4, size - 4}, "fuzz.tar");
  const std::size_t at = (data[1] | data[2] << 8) % gzip.size();
  gzip[at] ^= data[3];
  Check(gzip);
  return 0;
}
