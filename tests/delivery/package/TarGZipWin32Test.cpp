// The Windows file layer of the archive writer: shared reading of a file another handle is
// writing, its last-write time as stored, and the file errors.
#include <gtest/gtest.h>
#include "platform/win/WinApi.h"

#include <string>

#include "delivery/package/EPackageFiles.h"
#include "delivery/package/ETarGZip.h"
#include "platform/win/UniqueHandle.h"
#include "tests/app/TempFolderWin32.h"

namespace {

TEST(TarGZipWin32, FileOpenForWritingIsPackedWithItsLastWriteTime) {
  Win32TempFolder dir("dm-tgz-win32");
  const std::string path = dir.File("Report.txt");
  UniqueFileHandle writer(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer.get(), "report", 6, &written, nullptr));
  // 2026-12-07 10:31:30 UTC.
  SYSTEMTIME utc{2026, 12, 1, 7, 10, 31, 30, 0};
  FILETIME stamp;
  ASSERT_TRUE(SystemTimeToFileTime(AsWin32(&utc), &stamp));
  ASSERT_TRUE(SetFileTime(writer.get(), nullptr, nullptr, &stamp));

  const TPackageFile file = ReadPackageFile(path);
  EXPECT_EQ(std::string(file.bytes.begin(), file.bytes.end()), "report");
  EXPECT_EQ(file.modified, EncodeDateTime(2026, 12, 7, 10, 31, 30, 0));

  const std::string archive = dir.File("CompressFiles.tgz");
  CompressFileList(archive, {path});
  TMemoryStream gzip(ReadPackageFile(archive).bytes), tar;
  ReadGZip(gzip, tar);
  ASSERT_EQ(tar.Size(), 3 * TarBlockSize);
  const std::string header(reinterpret_cast<const char*>(tar.Bytes().data()), TarBlockSize);
  EXPECT_EQ(header.substr(0, 11), std::string("Report.txt\0", 11));
  EXPECT_EQ(header.substr(124, 24), "          6 15305505402 ");

  EXPECT_THROW(ReadPackageFile(dir.File("missing.txt")), EFOpenError);
  EXPECT_THROW(WritePackageFile(dir.File("no\\such\\folder.tgz"), {}), EFCreateError);
  EXPECT_TRUE(DeletePackageFile(dir.File("missing.txt")));
}

}  // namespace
