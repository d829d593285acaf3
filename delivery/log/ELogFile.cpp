#include "delivery/log/ELogFile.h"

#include "delivery/log/ELogReport.h"
#include "delivery/log/ELogSideCopy.h"
#include "delivery/log/ELogXML.h"

namespace {

constexpr std::string_view ReportEnd = "\r\n\r\n\r\n";

std::size_t NameStart(std::string_view path) {
  const std::size_t delimiter = path.find_last_of("\\/:");
  return delimiter == std::string_view::npos ? 0 : delimiter + 1;
}

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string NameWithoutExtension(std::string_view path) {
  std::string_view name = path.substr(NameStart(path));
  const std::size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string WithTrailingDelimiter(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

}  // namespace

TLogFile::TLogFile(const std::string& fileName, bool readOnly, TLogFileSystem& fileSystem)
    : fileSystem_(fileSystem), readOnly_(readOnly) {
  if (fileName.empty()) return;
  fileName_ = ResolveFileName(fileName);
  Load();
}

TLogFile::~TLogFile() = default;

std::string TLogFile::ResolveFileName(const std::string& fileName) {
  if (fileSystem_.CanOpen(fileName, readOnly_)) return fileName;
  const std::string folder = WithTrailingDelimiter(fileSystem_.EnvironmentVariable("UserProfile")) +
                             "OskedaLog\\" + NameWithoutExtension(fileSystem_.ProgramFileName());
  fileSystem_.ForceDirectories(folder);
  return WithTrailingDelimiter(folder) + ExtractFileName(fileName);
}

void TLogFile::Load() {
  stream_ = fileSystem_.Open(fileName_, readOnly_);
  // A sealed side copy is the content of a save that may have stopped half way through
  // the file; it is what that save meant the file to hold.
  if (std::optional<std::string> saved = ReadSideCopy(fileSystem_, fileName_)) {
    reports_ = SplitLogText(*saved);
  } else if (stream_) {
    reports_ = SplitLogText(stream_->ReadAll());
  }
}

void TLogFile::AddReport(std::string_view text, int maxCount) {
  const std::size_t keep = static_cast<std::size_t>(maxCount < 1 ? 1 : maxCount) - 1;
  if (reports_.size() > keep) reports_.erase(reports_.begin(), reports_.end() - static_cast<std::ptrdiff_t>(keep));
  reports_.push_back(std::string(text) + std::string(ReportEnd));
}

void TLogFile::Save() {
  if (fileName_.empty()) return;
  if (readOnly_) throw EWriteError("The log file \"" + fileName_ + "\" is open read-only.");
  std::string text = Text();
  if (!text.empty()) text.resize(text.size() - 2);
  // A sealed side copy left by an interrupted save may be the only whole copy of the log:
  // the file gets its content before the side copy is overwritten.
  if (const std::optional<std::string> pending = ReadSideCopy(fileSystem_, fileName_)) {
    if (!stream_) stream_ = fileSystem_.Create(fileName_);
    stream_->Rewrite(*pending);
    BreakSideCopySeal(fileSystem_, fileName_, *pending);
  }
  std::unique_ptr<TLogFileHandle> side;
  try {
    side = WriteSideCopy(fileSystem_, fileName_, text);
  } catch (const EFCreateError&) {
    // A folder that takes no new file still lets the log be rewritten in place. A side copy
    // that failed while being written is never used (its seal is missing), and the disk that
    // refused it would refuse the rewrite too, so that error goes on.
  }
  if (!stream_) stream_ = fileSystem_.Create(fileName_);
  stream_->Rewrite(text);
  if (side) BreakSideCopySeal(*side, text);
}

std::string TLogFile::Text() const {
  std::string text;
  for (const std::string& report : reports_) text.append(report).append("\r\n");
  return text;
}

std::string TLogFile::Report(int index) const {
  return index >= 0 && index < Count() ? reports_[static_cast<std::size_t>(index)] : std::string();
}

bool TLogFile::IsDuplicate(std::span<const std::string> ids, std::span<const std::string> values) const {
  for (const std::string& report : reports_) {
    if (ReportHasFieldValues(report, ids, values)) return true;
  }
  return false;
}

std::string TLogFile::GetFieldValue(int index, std::string_view id) const {
  return ReportFieldValue(Report(index), id);
}

std::string TLogFile::GetVersion(int index) const { return ReportVersion(Report(index)); }
std::string TLogFile::GetHeaderPart(int index) const { return ReportHeaderPart(Report(index)); }
std::string TLogFile::GetCallStack(int index) const { return ReportCallStack(Report(index)); }
std::string TLogFile::GetModules(int index) const { return ReportModules(Report(index)); }
std::string TLogFile::GetProcessor(int index) const { return ReportProcessor(Report(index)); }
std::string TLogFile::GetReproduceText(int index) const { return ReportReproduceText(Report(index)); }

void TLogFile::SetNamesPassword(std::string_view password) {
  namesKey_.reset();
  if (!password.empty()) namesKey_ = CipherKeyFromPassword(password);
}

std::string TLogFile::ReportToXML(int index) const { return ::ReportToXML(Report(index), namesKey_); }

std::string TLogFile::LogToXML() const { return ::LogToXML(reports_, namesKey_); }

void TLogFile::SaveAsXML(const std::string& fileName) const {
  fileSystem_.Create(fileName)->Rewrite(TextAsLines(LogToXML()));
}
