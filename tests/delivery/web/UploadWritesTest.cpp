#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "delivery/web/EUploadWrites.h"

namespace {

struct TRecorder {
  std::vector<std::size_t> Offsets, Lengths, Positions;
  std::size_t Cap = UploadWriteSize;  // the most one write takes

  bool Run(std::size_t size) {
    return WriteInBlocks(
        size,
        [&](std::size_t offset, std::size_t length) {
          Offsets.push_back(offset);
          Lengths.push_back(length);
          return std::min(length, Cap);
        },
        [&](std::size_t position) { Positions.push_back(position); });
  }
};

std::vector<std::size_t> StepsUpTo(std::size_t size) {
  std::vector<std::size_t> steps;
  for (std::size_t p = UploadProgressStep; p <= size; p += UploadProgressStep) steps.push_back(p);
  if (size % UploadProgressStep != 0) steps.push_back(size);
  return steps;
}

TEST(UploadWrites, LargeBlocksWithProgressEvery1024Bytes) {
  TRecorder r;
  ASSERT_TRUE(r.Run(200000));
  EXPECT_EQ(r.Lengths, (std::vector<std::size_t>{65536, 65536, 65536, 3392}));
  EXPECT_EQ(r.Offsets, (std::vector<std::size_t>{0, 65536, 131072, 196608}));
  EXPECT_EQ(r.Positions, StepsUpTo(200000));

  TRecorder exact;
  ASSERT_TRUE(exact.Run(3 * 1024));
  EXPECT_EQ(exact.Positions, (std::vector<std::size_t>{1024, 2048, 3072}));

  TRecorder empty;
  ASSERT_TRUE(empty.Run(0));
  EXPECT_TRUE(empty.Lengths.empty());
  EXPECT_TRUE(empty.Positions.empty());
}

TEST(UploadWrites, ShortWritesGoOnWhereTheLastOneStopped) {
  TRecorder r;
  r.Cap = 1500;
  ASSERT_TRUE(r.Run(5000));
  EXPECT_EQ(r.Offsets, (std::vector<std::size_t>{0, 1500, 3000, 4500}));
  EXPECT_EQ(r.Lengths.back(), 500u);
  EXPECT_EQ(r.Positions, StepsUpTo(5000));
}

TEST(UploadWrites, AWriteThatTakesNothingEndsTheUpload) {
  TRecorder r;
  r.Cap = 0;
  EXPECT_FALSE(r.Run(5000));
  EXPECT_EQ(r.Lengths.size(), 1u);
  EXPECT_TRUE(r.Positions.empty());
}

}  // namespace
