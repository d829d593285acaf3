#include "report/options/EConfigFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "report/options/EOptionsIO.h"

namespace {

struct ParseError {
  std::string reason;
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

// A quoted value takes escapes (\r \n \t \\ \"); a bare value is taken as it stands.
std::string Unquote(std::string_view raw) {
  if (raw.empty() || raw.front() != '"') return std::string(raw);
  if (raw.size() < 2 || raw.back() != '"') throw ParseError{"unterminated quoted value"};
  std::string out;
  for (std::size_t i = 1; i + 1 < raw.size(); ++i) {
    char c = raw[i];
    if (c == '"') throw ParseError{"quote inside a quoted value (write \\\")"};
    if (c == '\\') {
      if (i + 2 >= raw.size()) throw ParseError{"escape at the end of a quoted value"};
      switch (raw[++i]) {
        case 'r':
          c = '\r';
          break;
        case 'n':
          c = '\n';
          break;
        case 't':
          c = '\t';
          break;
        case '\\':
          c = '\\';
          break;
        case '"':
          c = '"';
          break;
        default:
          throw ParseError{"unknown escape in a quoted value"};
      }
    }
    out += c;
  }
  return out;
}

std::string StoredText(std::string_view raw) {
  return std::string(TextWithoutFinalLineBreak(Unquote(raw)));
}

std::uint64_t Number(std::string_view text, std::uint64_t max) {
  std::uint64_t value = 0;
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    base = 16;
  }
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    throw ParseError{"not a number"};
  if (value > max) throw ParseError{"number out of range"};
  return value;
}

std::int32_t Int32(std::string_view text) {
  const bool negative = text.starts_with('-');
  const std::uint64_t magnitude =
      Number(negative ? text.substr(1) : text,
             negative ? std::uint64_t{1} << 31 : std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                            : static_cast<std::int64_t>(magnitude));
}

bool Boolean(std::string_view text) {
  const std::string v = Lower(text);
  if (v == "true" || v == "yes" || v == "1") return true;
  if (v == "false" || v == "no" || v == "0") return false;
  throw ParseError{"not a Boolean (true or false)"};
}

using NameTable = std::vector<std::pair<std::string_view, std::uint64_t>>;

std::uint64_t Named(std::string_view text, const NameTable& names, std::uint64_t max) {
  for (const auto& [name, value] : names)
    if (Lower(name) == Lower(text)) return value;
  if (!text.empty() && std::isdigit(static_cast<unsigned char>(text.front())))
    return Number(text, max);
  throw ParseError{"unknown name \"" + std::string(text) + "\""};
}

// Members separated by commas or "+", or one number.
std::uint64_t FlagSet(std::string_view text, const NameTable& names, std::uint64_t max) {
  std::uint64_t bits = 0;
  while (true) {
    const std::size_t cut = text.find_first_of(",+");
    const std::string_view item = Trim(text.substr(0, cut));
    if (!item.empty()) bits |= Named(item, names, max);
    if (cut == std::string_view::npos) break;
    text.remove_prefix(cut + 1);
  }
  return bits;
}

const NameTable kCloseActions = {{"cbaTerminate", cbaTerminate}, {"cbaRestart", cbaRestart}};
const NameTable kMailChannels = {{"mcNone", mcNone},
                                 {"mcMailClient", mcMailClient},
                                 {"mcSmtpClient", mcSmtpClient},
                                 {"mcSmtpServer", mcSmtpServer}};
const NameTable kWebChannels = {
    {"wcNone", wcNone}, {"wcHttp", wcHttp}, {"wcHttps", wcHttps}, {"wcFtp", wcFtp}};
const NameTable kLogFlags = {{"lfSkipDuplicates", lfSkipDuplicates},
                             {"lfAskReproduce", lfAskReproduce},
                             {"lfDeleteOnVersionChange", lfDeleteOnVersionChange},
                             {"lfComputerInFileName", lfComputerInFileName},
                             {"lfModulesSection", lfModulesSection},
                             {"lfCpuSection", lfCpuSection}};
const NameTable kSendFlags = {{"sfShowSendDialog", sfShowSendDialog},
                              {"sfShowSendResult", sfShowSendResult},
                              {"sfSendWholeLog", sfSendWholeLog},
                              {"sfAttachXmlLog", sfAttachXmlLog},
                              {"sfAttachScreenshot", sfAttachScreenshot},
                              {"sfScreenshotForegroundOnly", sfScreenshotForegroundOnly},
                              {"sfAttachLastPage", sfAttachLastPage},
                              {"sfSendInThread", sfSendInThread},
                              {"sfTimestampFileNames", sfTimestampFileNames},
                              {"sfCompressAttachments", sfCompressAttachments}};
const NameTable kDialogFlags = {{"dfShowDialog", dfShowDialog},
                                {"dfSendChecked", dfSendChecked},
                                {"dfScreenshotChecked", dfScreenshotChecked},
                                {"dfShowCopyOption", dfShowCopyOption},
                                {"dfShowDetailsButton", dfShowDetailsButton},
                                {"dfStartExpanded", dfStartExpanded},
                                {"dfTopMost", dfTopMost},
                                {"dfBannerLook", dfBannerLook}};
const NameTable kStackFlags = {{"sfStackKind2", sfStackKind2},
                               {"sfStackKind3", sfStackKind3},
                               {"sfRuntimeThreads", sfRuntimeThreads},
                               {"sfSystemThreads", sfSystemThreads},
                               {"sfLineOffsets", sfLineOffsets}};
const NameTable kBehaviourFlags = {{"bfRateLimit", bfRateLimit},
                                   {"bfPauseRuntimeThreads", bfPauseRuntimeThreads},
                                   {"bfKeepMainRunning", bfKeepMainRunning},
                                   {"bfPauseSystemThreads", bfPauseSystemThreads},
                                   {"bfUseMainModuleOptions", bfUseMainModuleOptions},
                                   {"bfCopyOnFailure", bfCopyOnFailure},
                                   {"bfKeepUnsent", bfKeepUnsent}};

// "All", a number, or the fields' selection labels ("Computer|Name") separated by commas.
TReportFieldSet ReportFields(std::string_view text) {
  if (Lower(text) == "all") return TReportFieldSet::All();
  NameTable labels;
  for (int f = 0; f < ReportFieldCount; ++f)
    labels.emplace_back(ReportFieldLabel(static_cast<TReportField>(f)), std::uint64_t{1} << f);
  return TReportFieldSet::FromBits(FlagSet(text, labels, TReportFieldSet::AllBits));
}

using Setter = std::function<void(TOskedaStoredOptions&, std::string_view)>;

template <typename T>
Setter Flags(T TOskedaStoredOptions::*field, const NameTable& names) {
  return [field, &names](TOskedaStoredOptions& o, std::string_view v) {
    using Storage = typename T::StorageType;
    o.*field =
        T::FromBits(static_cast<Storage>(FlagSet(v, names, std::numeric_limits<Storage>::max())));
  };
}

template <typename E>
Setter Enum(E TOskedaStoredOptions::*field, const NameTable& names) {
  return [field, &names](TOskedaStoredOptions& o, std::string_view v) {
    o.*field = static_cast<E>(Named(v, names, names.size() - 1));
  };
}

Setter Text(std::string TOskedaStoredOptions::*field) {
  return [field](TOskedaStoredOptions& o, std::string_view v) { o.*field = StoredText(v); };
}

Setter Bool(bool TOskedaStoredOptions::*field) {
  return [field](TOskedaStoredOptions& o, std::string_view v) { o.*field = Boolean(v); };
}

Setter Int(std::int32_t TOskedaStoredOptions::*field) {
  return [field](TOskedaStoredOptions& o, std::string_view v) { o.*field = Int32(v); };
}

template <typename U>
Setter Unsigned(U TOskedaStoredOptions::*field) {
  return [field](TOskedaStoredOptions& o, std::string_view v) {
    o.*field = static_cast<U>(Number(v, std::numeric_limits<U>::max()));
  };
}

const std::map<std::string, Setter>& OptionSetters() {
  using O = TOskedaStoredOptions;
  static const std::map<std::string, Setter> setters = [] {
    std::map<std::string, Setter> s;
    const auto add = [&s](std::string_view name, Setter setter) {
      s.emplace(Lower(name), std::move(setter));
    };
    add("MailSender", Text(&O::MailSender));
    add("MailServer", Text(&O::MailServer));
    add("MailServerLogin", Text(&O::MailServerLogin));
    add("MailServerPassword", Text(&O::MailServerPassword));
    add("MailServerPort", Unsigned(&O::MailServerPort));
    add("CloseButtonAction", Enum(&O::CloseButtonAction, kCloseActions));
    add("FreezeWatch", Bool(&O::FreezeWatch));
    add("FreezeSeconds", Int(&O::FreezeSeconds));
    add("FreezeText", Text(&O::FreezeText));
    add("ReportFieldSet", [](O& o, std::string_view v) { o.ReportFieldSet = ReportFields(v); });
    add("LogSwitch", Bool(&O::LogSwitch));
    add("FilterEnabled", Bool(&O::FilterEnabled));
    add("ReportInMailBody", Bool(&O::ReportInMailBody));
    add("CloseButtonEnabled", Bool(&O::CloseButtonEnabled));
    add("SaveToLog", Bool(&O::SaveToLog));
    add("LogFlags", Flags(&O::LogFlags, kLogFlags));
    add("SendFlags", Flags(&O::SendFlags, kSendFlags));
    add("FirstTab", Unsigned(&O::FirstTab));
    // As the options' own setter does: a log keeps at least one report.
    add("LogCapacity", [](O& o, std::string_view v) { o.LogCapacity = std::max(1, Int32(v)); });
    add("CloseButtonAfter", Int(&O::CloseButtonAfter));
    add("LogFolder", Text(&O::LogFolder));
    add("MailRecipients", Text(&O::MailRecipients));
    add("MailSubject", Text(&O::MailSubject));
    add("MailBodyText", Text(&O::MailBodyText));
    add("MailChannel", Enum(&O::MailChannel, kMailChannels));
    add("WebChannel", Enum(&O::WebChannel, kWebChannels));
    add("ExtraFiles", Text(&O::ExtraFiles));
    add("DialogFlags", Flags(&O::DialogFlags, kDialogFlags));
    add("DialogTimeoutSecs", Int(&O::DialogTimeoutSecs));
    add("SupportPage", Text(&O::SupportPage));
    add("PageTemplate", Text(&O::PageTemplate));
    add("CrashAction", Enum(&O::CrashAction, kCloseActions));
    add("CrashCount", Int(&O::CrashCount));
    add("CrashWindowMinutes", Int(&O::CrashWindowMinutes));
    add("StackFlags", Flags(&O::StackFlags, kStackFlags));
    add("BehaviourFlags", Flags(&O::BehaviourFlags, kBehaviourFlags));
    add("UploadURL", Text(&O::UploadURL));
    add("UploadPort", Unsigned(&O::UploadPort));
    add("UploadPassword", Text(&O::UploadPassword));
    add("UploadLogin", Text(&O::UploadLogin));
    return s;
  }();
  return setters;
}

enum class Section { None, Options, Filter, Texts, Build };

}  // namespace

TOskedaStoredOptions ParseConfigFile(std::string_view text, TConfigFileBuild* build) {
  TOskedaStoredOptions options;
  TConfigFileBuild buildSettings;
  bool keyGiven = false;
  std::vector<std::string> classes;
  std::vector<std::string> messages;
  std::set<std::string> seenOptions;
  std::set<int> seenTexts;
  Section section = Section::None;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    try {
      if (line.front() == '[') {
        if (line.back() != ']') throw ParseError{"unterminated section name"};
        const std::string name = Lower(Trim(line.substr(1, line.size() - 2)));
        if (name == "options")
          section = Section::Options;
        else if (name == "filter")
          section = Section::Filter;
        else if (name == "texts")
          section = Section::Texts;
        else if (name == "build")
          section = Section::Build;
        else
          throw ParseError{"unknown section (Options, Filter, Texts or Build)"};
        continue;
      }
      const std::size_t equals = line.find('=');
      if (equals == std::string_view::npos) throw ParseError{"expected Key = Value"};
      const std::string_view key = Trim(line.substr(0, equals));
      const std::string_view value = Trim(line.substr(equals + 1));
      if (key.empty()) throw ParseError{"empty key"};
      switch (section) {
        case Section::None:
          throw ParseError{"entry before the first section"};
        case Section::Options: {
          const auto setter = OptionSetters().find(Lower(key));
          if (setter == OptionSetters().end())
            throw ParseError{"unknown option \"" + std::string(key) + "\""};
          if (!seenOptions.insert(setter->first).second) throw ParseError{"option given twice"};
          setter->second(options, value);
          break;
        }
        case Section::Filter:
          classes.push_back(StoredText(key));
          messages.push_back(StoredText(value));
          break;
        case Section::Texts: {
          const int index = static_cast<int>(Number(key, CustomizedTextCount - 1));
          if (!seenTexts.insert(index).second) throw ParseError{"text given twice"};
          options.Texts[index] = StoredText(value);
          break;
        }
        case Section::Build:
          if (Lower(key) != "debuginfokey")
            throw ParseError{"unknown build setting \"" + std::string(key) + "\""};
          if (keyGiven) throw ParseError{"build setting given twice"};
          keyGiven = true;
          buildSettings.DebugInfoKey = Unquote(value);
          break;
      }
    } catch (const ParseError& error) {
      throw EConfigFileError(Format("%d: %s", lineNumber, error.reason.c_str()));
    }
  }
  options.FilteredClasses.Assign(classes);
  options.FilteredMessages.Assign(messages);
  if (build) *build = buildSettings;
  return options;
}
