// Packing the same 10 MB of mixed files with TTGZWriter and with GNU tar through gzip -9, in
// one run, best of three each; and the size of our archive against GNU's. Time is CPU time
// (ours: this thread; GNU: tar and gzip as waited-for children), so that other work on the
// machine does not decide the comparison.
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "delivery/package/EPackageFiles.h"
#include "delivery/package/ETarGZip.h"

namespace {

namespace fs = std::filesystem;

double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double ChildrenSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Report-like text, program-like binary with repeats, noise that does not compress, and many
// small files: what a report's attachments are made of.
std::vector<std::uint8_t> MakeFile(int kind, std::size_t size, std::uint32_t seed) {
  static const char* words[] = {"Exception",
                                "address",
                                "module",
                                "Dialmoor.exe",
                                "0x0040A1F3",
                                "thread",
                                "call",
                                "stack",
                                "|",
                                "-------",
                                "Access violation",
                                "\r\n",
                                "kernel32.dll",
                                "  ",
                                "Read of address 00000000"};
  std::vector<std::uint8_t> bytes;
  bytes.reserve(size);
  std::uint32_t x = seed * 2654435761u + 1;
  const auto next = [&] {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
  };
  while (bytes.size() < size) {
    if (kind == 0) {
      const std::string word = words[next() % std::size(words)];
      bytes.insert(bytes.end(), word.begin(), word.end());
      bytes.push_back(' ');
    } else if (kind == 1) {
      if (bytes.size() > 64 && next() % 3 == 0) {
        const std::size_t from =
            bytes.size() - 1 - next() % std::min<std::size_t>(bytes.size() - 1, 4000);
        const std::size_t length = 4 + next() % 40;
        for (std::size_t i = 0; i < length; ++i) bytes.push_back(bytes[from + i]);
      } else {
        bytes.push_back(static_cast<std::uint8_t>(next() % 5 == 0 ? next() : next() % 16));
      }
    } else {
      bytes.push_back(static_cast<std::uint8_t>(next()));
    }
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace

int main() {
  const fs::path dir = fs::temp_directory_path() / ("dm-tgz-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir / "files");
  std::vector<std::string> files;
  std::size_t total = 0;
  const auto add = [&](int kind, std::size_t size) {
    const std::string path =
        (dir / "files" / ("f" + std::to_string(files.size()) + ".dat")).string();
    WritePackageFile(path, MakeFile(kind, size, static_cast<std::uint32_t>(files.size())));
    files.push_back(path);
    total += size;
  };
  add(0, 4'000'000);
  add(1, 3'000'000);
  add(2, 1'500'000);
  for (int i = 0; i < 100; ++i) add(i % 3, 5'000 + 37 * static_cast<std::size_t>(i));
  add(0, 10'000'000 - total);

  const std::string ours = (dir / "ours.tgz").string();
  const std::string gnu = (dir / "gnu.tgz").string();
  double oursBest = 1e30, gnuBest = 1e30;
  for (int round = 0; round < 3; ++round) {
    double start = ThreadSeconds();
    CompressFileList(ours, files);
    oursBest = std::min(oursBest, ThreadSeconds() - start);

    const std::string command = "tar --use-compress-program='gzip -9' -cf '" + gnu + "' -C '" +
                                (dir / "files").string() + "' .";
    start = ChildrenSeconds();
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "GNU tar failed\n");
      return 1;
    }
    gnuBest = std::min(gnuBest, ChildrenSeconds() - start);
  }
  const double megabytes = static_cast<double>(total) / 1e6;
  std::printf("BENCH tgz_write %.1f MB_per_s\n", megabytes / oursBest);
  std::printf("BENCH tgz_gnu %.1f MB_per_s\n", megabytes / gnuBest);
  std::printf("BENCH tgz_size_ratio %.4f ratio\n",
              static_cast<double>(fs::file_size(ours)) / static_cast<double>(fs::file_size(gnu)));
  fs::remove_all(dir);
  return 0;
}
