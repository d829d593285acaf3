#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstring>

#include "delivery/package/ECrc32.h"
#include "delivery/package/EPackageFiles.h"
#include "delivery/package/ETarGZip.h"
#include "tests/delivery/package/PackageTestSupport.h"

namespace {

std::string Field(const TTarBlock& block, std::size_t offset, std::size_t width) {
  return std::string(reinterpret_cast<const char*>(&block[offset]), width);
}

void SetModified(const std::string& path, time_t seconds) {
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::vector<std::uint8_t> Inflated(const std::vector<std::uint8_t>& gzip) {
  TMemoryStream source(gzip), target;
  ReadGZip(source, target);
  return target.Bytes();
}

TEST(CRC32, CheckValueContinuationAndZlibAgree) {
  EXPECT_EQ(CRC32("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(CRC32("", 0), 0u);
  const std::vector<std::uint8_t> data = MixedBytes(1031, 7);
  for (std::size_t length : {1u, 3u, 4u, 5u, 17u, 1031u}) {
    const auto expected =
        static_cast<std::uint32_t>(::crc32(0, data.data(), static_cast<uInt>(length)));
    EXPECT_EQ(CRC32(data.data(), length), expected) << length;
    if (length >= 2)
      EXPECT_EQ(CRC32(data.data() + 2, length - 2, CRC32(data.data(), 2)), expected) << length;
  }
}

TEST(TarHeader, NumericFormNameAndChecksum) {
  const TTarBlock zero = TarHeaderBlock("a.txt", 0, 0);
  EXPECT_EQ(Field(zero, 0, 6), std::string("a.txt\0", 6));
  EXPECT_EQ(Field(zero, 100, 8), std::string("     0 \0", 8));
  EXPECT_EQ(Field(zero, 108, 8), std::string("     0 \0", 8));
  EXPECT_EQ(Field(zero, 116, 8), std::string("     0 \0", 8));
  EXPECT_EQ(Field(zero, 124, 12), "          0 ");
  EXPECT_EQ(Field(zero, 136, 12), "          0 ");  // before 1970 (the date-time 0)
  EXPECT_EQ(zero[156], '0');
  EXPECT_EQ(Field(zero, 257, 8), "ustar   ");

  // 2026-12-07 10:31:30 UTC is 1796639490 s = octal 15305505402.
  const TTarBlock block = TarHeaderBlock("x", 513, EncodeDateTime(2026, 12, 7, 10, 31, 30, 0));
  EXPECT_EQ(Field(block, 124, 12), "       1001 ");
  EXPECT_EQ(Field(block, 136, 12), "15305505402 ");
  TTarBlock blank = block;
  std::memset(&blank[148], ' ', 8);
  unsigned sum = 0;
  for (std::uint8_t b : blank) sum += b;
  char expected[9];
  std::snprintf(expected, sizeof expected, "%6o ", sum);
  EXPECT_EQ(Field(block, 148, 8), std::string(expected, 7) + '\0');
  for (std::size_t i = 265; i < TarBlockSize; ++i) ASSERT_EQ(block[i], 0) << i;

  const std::string hundred(100, 'n');
  EXPECT_EQ(Field(TarHeaderBlock(hundred + "xyz", 1, 0), 0, 101), hundred + ' ');
  EXPECT_THROW(TarHeaderBlock("huge", 1ull << 33, 0), EWriteError);
}

class TarGZip : public ::testing::Test {
 protected:
  ScratchFolder dir{"dm-tgz"};
  std::string archive = dir.File("CompressFiles.tgz");
};

TEST_F(TarGZip, GnuTarListsAndExtractsWhatWasWritten) {
  const std::string longName = std::string(96, 'L') + ".txt";
  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
      {"empty.dat", {}},
      {"odd.bin", MixedBytes(513, 1)},
      {longName, MixedBytes(1024, 2)},
      {"big.bin", MixedBytes(70001, 3)}};
  const time_t stamps[] = {0, 1000000000, 1796639490, 1234567890};
  {
    TTGZWriter writer(archive);
    for (std::size_t i = 0; i < files.size(); ++i) {
      const std::string path = dir.File("src-" + std::to_string(i));
      WriteBytes(path, files[i].second);
      SetModified(path, stamps[i]);
      writer.AddFile(path, "C:\\folder\\" + files[i].first);
    }
    TMemoryStream stream(std::vector<std::uint8_t>{'s', 'k', 'i', 'p', 'O', 'K'});
    stream.SetPosition(4);
    writer.AddStream(stream, "stream.txt", EncodeDateTime(2001, 2, 3, 4, 5, 6, 999));
    EXPECT_FALSE(std::filesystem::exists(archive));
  }
  ASSERT_EQ(RunCommand("gzip -t " + Quote(archive)).status, 0);

  const CommandResult listing = RunCommand("tar --utc --full-time -tvzf " + Quote(archive));
  ASSERT_EQ(listing.status, 0) << listing.output;
  const std::string expected[] = {
      "0 1970-01-01 00:00:00 empty.dat", "513 2001-09-09 01:46:40 odd.bin",
      "1024 2026-12-07 10:31:30 " + longName, "70001 2009-02-13 23:31:30 big.bin",
      "2 2001-02-03 04:05:06 stream.txt"};
  for (const std::string& line : expected)
    EXPECT_NE(listing.output.find(line), std::string::npos) << line << "\n" << listing.output;

  const std::string out = dir.File("out");
  std::filesystem::create_directories(out);
  const CommandResult extract = RunCommand("tar -xzf " + Quote(archive) + " -C " + Quote(out));
  ASSERT_EQ(extract.status, 0) << extract.output;
  for (const auto& [name, bytes] : files) EXPECT_EQ(ReadBytes(out + "/" + name), bytes) << name;
  EXPECT_EQ(ReadBytes(out + "/stream.txt"), (std::vector<std::uint8_t>{'O', 'K'}));
}

TEST_F(TarGZip, BlocksGzipHeaderAndSingleEndBlock) {
  {
    TTGZWriter writer(archive);
    TMemoryStream empty, odd(MixedBytes(513, 4));
    writer.AddStream(empty, "e", 0);
    writer.AddStream(odd, "o", 0);
    writer.Finish();
  }
  const std::vector<std::uint8_t> gzip = ReadBytes(archive);
  const std::string name = "CompressFiles.tar";
  ASSERT_GT(gzip.size(), 10 + name.size() + 1 + 8);
  EXPECT_EQ(std::vector<std::uint8_t>(gzip.begin(), gzip.begin() + 10),
            (std::vector<std::uint8_t>{0x1F, 0x8B, 8, 8, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(std::string(gzip.begin() + 10, gzip.begin() + 10 + static_cast<long>(name.size()) + 1),
            name + '\0');

  // Header of the empty file, header and two data blocks of the 513 bytes, one end block.
  const std::vector<std::uint8_t> tar = Inflated(gzip);
  ASSERT_EQ(tar.size(), 5 * TarBlockSize);
  EXPECT_EQ(tar[TarBlockSize], 'o');
  EXPECT_EQ(tar[3 * TarBlockSize], MixedBytes(513, 4)[512]);
  for (std::size_t i = 3 * TarBlockSize + 1; i < tar.size(); ++i) ASSERT_EQ(tar[i], 0) << i;
  const std::size_t n = gzip.size();
  const std::uint32_t isize =
      gzip[n - 4] | gzip[n - 3] << 8 | gzip[n - 2] << 16 | gzip[n - 1] << 24;
  EXPECT_EQ(isize, tar.size());
}

TEST_F(TarGZip, CompressFileListNamesEntriesAndReplacesTheArchive) {
  WriteBytes(archive, {'o', 'l', 'd'});
  CompressFileList(archive, {});
  EXPECT_FALSE(std::filesystem::exists(archive));

  const std::string a = dir.File("Screenshot.png"), b = dir.File("Report.txt");
  WriteBytes(a, MixedBytes(10, 5));
  WriteBytes(b, MixedBytes(20, 6));
  CompressFileList(archive, {a, b}, [](const std::string& path) {
    return "X:\\t\\" + ExtractFileName(path) + ".1";
  });
  const CommandResult listing =
      RunCommand("tar --warning=no-alone-zero-block -tzf " + Quote(archive));
  EXPECT_EQ(listing.output, "Screenshot.png.1\nReport.txt.1\n");

  EXPECT_THROW(CompressFileList(archive, {dir.File("missing")}), EFOpenError);
  EXPECT_THROW(CompressFileList(dir.File("no/such/folder.tgz"), {a}), EFCreateError);
}

TEST_F(TarGZip, ReadGZipReadsGnuGzipFiles) {
  const std::string plain = dir.File("data.bin");
  const std::vector<std::uint8_t> data = MixedBytes(300000, 8);
  WriteBytes(plain, data);
  WriteBytes(dir.File("empty"), {});
  ASSERT_EQ(RunCommand("cd " + Quote(dir.Path()) +
                       " && gzip -9 -k data.bin && gzip -n -c data.bin > nameless.gz"
                       " && gzip -k empty && cat data.bin.gz empty.gz data.bin.gz > joined.gz")
                .status,
            0);
  EXPECT_EQ(Inflated(ReadBytes(plain + ".gz")), data);
  EXPECT_EQ(Inflated(ReadBytes(dir.File("nameless.gz"))), data);
  EXPECT_TRUE(Inflated(ReadBytes(dir.File("empty.gz"))).empty());
  std::vector<std::uint8_t> twice = data;
  twice.insert(twice.end(), data.begin(), data.end());
  EXPECT_EQ(Inflated(ReadBytes(dir.File("joined.gz"))), twice);

  // Reading starts at the source's position.
  std::vector<std::uint8_t> prefixed = {'?', '?'};
  const std::vector<std::uint8_t> gz = ReadBytes(plain + ".gz");
  prefixed.insert(prefixed.end(), gz.begin(), gz.end());
  TMemoryStream source(prefixed), target;
  source.SetPosition(2);
  ReadGZip(source, target);
  EXPECT_EQ(target.Bytes(), data);

  std::vector<std::uint8_t> padded = gz;
  padded.resize(gz.size() + 100, 0);
  EXPECT_EQ(Inflated(padded), data);
}

TEST(ReadGZip, OptionalHeaderFieldsAreSkipped) {
  const std::vector<std::uint8_t> wrapped = GZipTarStream(std::vector<std::uint8_t>{'h', 'i'}, "n");
  // Same body behind a header with extra field, name, comment and header CRC.
  std::vector<std::uint8_t> gz = {
      0x1F, 0x8B, 8, 4 | 8 | 16 | 2, 0, 0, 0, 0, 0, 3, 3, 0, 'a', 'b', 'c', 'n', 0, 'c', 'o', 0};
  const std::uint32_t headerCrc = CRC32(gz.data(), gz.size());
  gz.push_back(headerCrc & 0xFF);
  gz.push_back((headerCrc >> 8) & 0xFF);
  gz.insert(gz.end(), wrapped.begin() + 12, wrapped.end());
  EXPECT_EQ(Inflated(gz), (std::vector<std::uint8_t>{'h', 'i'}));
  gz[20] ^= 1;  // the header CRC no longer matches
  EXPECT_THROW(Inflated(gz), EGZipError);
}

TEST(ReadGZip, DamagedDataIsAnErrorNotAResult) {
  const std::vector<std::uint8_t> good = GZipTarStream(MixedBytes(5000, 9), "x.tar");
  ASSERT_EQ(Inflated(good), MixedBytes(5000, 9));
  const auto damaged = [&](auto change) {
    std::vector<std::uint8_t> bad = good;
    change(bad);
    return bad;
  };
  const std::size_t n = good.size();
  EXPECT_THROW(Inflated({}), EGZipError);
  EXPECT_THROW(Inflated(damaged([](auto& b) { b[0] = 0x1E; })), EGZipError);
  EXPECT_THROW(Inflated(damaged([](auto& b) { b[2] = 7; })), EGZipError);
  EXPECT_THROW(Inflated(damaged([](auto& b) { b[3] |= 0x80; })), EGZipError);
  EXPECT_THROW(Inflated(damaged([&](auto& b) { b[n - 8] ^= 1; })), EGZipError);  // CRC
  EXPECT_THROW(Inflated(damaged([&](auto& b) { b[n - 4] ^= 1; })), EGZipError);  // size
  EXPECT_THROW(Inflated(damaged([&](auto& b) { b.resize(n - 3); })), EGZipError);
  EXPECT_THROW(Inflated(damaged([&](auto& b) { b.resize(n / 2); })), EGZipError);
  EXPECT_THROW(Inflated(damaged([&](auto& b) { b.resize(13); })), EGZipError);  // name unended
  EXPECT_THROW(Inflated(damaged([&](auto& b) { b.push_back('!'); })), EGZipError);
}

}  // namespace
