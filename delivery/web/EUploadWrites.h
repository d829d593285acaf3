// Cutting an upload into the writes handed to WinInet. A write costs about the same whatever its
// size (1024-byte writes reached a fifth of curl's rate on loopback, 64 KB writes beat it), so
// the data goes out in large blocks while the progress still moves in 1024-byte steps.
#pragma once

#include <algorithm>
#include <cstddef>

inline constexpr std::size_t UploadWriteSize = 64 * 1024;
inline constexpr std::size_t UploadProgressStep = 1024;

// write(offset, length) sends part of the data and returns how much it took; afterStep(position)
// runs once for every 1024 bytes sent and once more for a final partial step, so it sees the
// same positions as with 1024-byte writes. False when a write took nothing: that would
// otherwise loop for ever.
template <typename Write, typename AfterStep>
bool WriteInBlocks(std::size_t size, Write write, AfterStep afterStep) {
  std::size_t done = 0;
  std::size_t reported = 0;
  while (done < size) {
    const std::size_t taken = write(done, std::min(UploadWriteSize, size - done));
    if (taken == 0) return false;
    done += std::min(taken, size - done);
    for (; reported + UploadProgressStep <= done; reported += UploadProgressStep)
      afterStep(reported + UploadProgressStep);
    if (done == size && reported < done) {
      reported = done;
      afterStep(done);
    }
  }
  return true;
}
