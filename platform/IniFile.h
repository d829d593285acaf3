// TIniFile: single keys of a settings file through the platform's private-profile operations,
// with the runtime's integer and Boolean encodings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/SysUtils.h"

DM_DECLARE_EXCEPTION(EIniFileException, Exception)

// The store under TIniFile. Each call names the file; a call reads or writes one key and
// leaves every other key, section and line of the file as it is.
class IIniBackend {
 public:
  virtual ~IIniBackend() = default;
  // The key's value with surrounding blanks and one pair of enclosing quotes removed; the
  // default when the file, the section or the key is missing or the file cannot be read.
  // Section and key names compare without regard to letter case.
  virtual std::string ReadString(const std::string& fileName, std::string_view section,
                                 std::string_view key, std::string_view defaultValue) = 0;
  // Sets the key (adding the section and the file when missing) and reaches the file before
  // it returns; false when it cannot.
  virtual bool WriteString(const std::string& fileName, std::string_view section,
                           std::string_view key, std::string_view value) = 0;
};

// The backend in force: the platform's own unless a test installed another.
IIniBackend& DefaultIniBackend();
// GetPrivateProfileStringA and WritePrivateProfileStringA on Windows; on the host, one
// in-memory store for the whole process.
IIniBackend& PlatformIniBackend();

// Installs another backend for the lifetime of the object (tests only; not thread-safe).
class ScopedIniBackend {
 public:
  explicit ScopedIniBackend(IIniBackend& backend);
  ~ScopedIniBackend();
  ScopedIniBackend(const ScopedIniBackend&) = delete;
  ScopedIniBackend& operator=(const ScopedIniBackend&) = delete;

 private:
  IIniBackend* previous_;
};

// Holds no handle: every read and write opens the file by name, so the object may outlive
// any error without leaving the file open.
class TIniFile {
 public:
  explicit TIniFile(std::string fileName, IIniBackend& backend = DefaultIniBackend());

  const std::string& FileName() const noexcept { return fileName_; }

  std::string ReadString(std::string_view section, std::string_view ident,
                         std::string_view defaultValue);
  // The default for a missing key, an empty value or a text that is not an integer
  // (StrToIntDef).
  std::int32_t ReadInteger(std::string_view section, std::string_view ident,
                           std::int32_t defaultValue);
  // An integer, any non-zero value meaning true.
  bool ReadBool(std::string_view section, std::string_view ident, bool defaultValue);

  // EIniFileException "Unable to write to %s" (the file name) when the write fails.
  void WriteString(std::string_view section, std::string_view ident, std::string_view value);
  // Decimal.
  void WriteInteger(std::string_view section, std::string_view ident, std::int32_t value);
  // "1" or "0".
  void WriteBool(std::string_view section, std::string_view ident, bool value);

 private:
  std::string fileName_;
  IIniBackend& backend_;
};
