// Enumerations and flag sets of the reporting options, with the bit values the stored
// configuration uses.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

enum TCloseButtonAction : std::uint8_t { cbaTerminate = 0, cbaRestart = 1 };

enum TMailChannel : std::uint8_t {
  mcNone = 0,
  mcMailClient = 1,
  mcSmtpClient = 2,
  mcSmtpServer = 3
};

enum TWebChannel : std::uint8_t { wcNone = 0, wcHttp = 1, wcHttps = 2, wcFtp = 3 };

// The delivery error code recorded by the delivery steps.
enum TOskedaLogErrorCode : std::uint8_t {
  eeNone = 0,
  eeShowError = 1,
  eeLogError = 2,
  eeEmailMAPIError = 3,
  eeEmailShellError = 4,
  eeEmailSMTPError = 5,
  eeWebHTTPError = 6,
  eeWebHTTPSError = 7,
  eeWebFTPError = 8,
};

enum TLogFlag : std::uint8_t {
  lfSkipDuplicates = 0x01,
  lfAskReproduce = 0x02,
  lfDeleteOnVersionChange = 0x04,
  lfComputerInFileName = 0x08,
  lfModulesSection = 0x10,
  lfCpuSection = 0x20,
};

enum TSendFlag : std::uint16_t {
  sfShowSendDialog = 0x0001,
  sfShowSendResult = 0x0002,
  sfSendWholeLog = 0x0004,
  sfAttachXmlLog = 0x0008,
  sfAttachScreenshot = 0x0010,
  sfScreenshotForegroundOnly = 0x0020,
  sfAttachLastPage = 0x0040,
  sfSendInThread = 0x0080,
  sfTimestampFileNames = 0x0100,
  sfCompressAttachments = 0x0200,
};

enum TDialogFlag : std::uint8_t {
  dfShowDialog = 0x01,
  dfSendChecked = 0x02,
  dfScreenshotChecked = 0x04,
  dfShowCopyOption = 0x08,
  dfShowDetailsButton = 0x10,
  dfStartExpanded = 0x20,
  dfTopMost = 0x40,
  dfBannerLook = 0x80,
};

enum TStackFlag : std::uint8_t {
  sfStackKind2 = 0x01,  // frames of module kind 2 join the call stack
  sfStackKind3 = 0x02,  // frames of module kind 3 join the call stack
  sfRuntimeThreads = 0x04,
  sfSystemThreads = 0x08,
  sfLineOffsets = 0x10,
};

enum TBehaviourFlag : std::uint8_t {
  bfRateLimit = 0x01,
  bfPauseRuntimeThreads = 0x02,
  bfKeepMainRunning = 0x04,
  bfPauseSystemThreads = 0x08,
  bfUseMainModuleOptions = 0x10,
  bfCopyOnFailure = 0x20,
  bfKeepUnsent = 0x40,
};

// A set of flags whose enumerators are bit masks. Bits without a member are kept as stored,
// so a set read from a configuration is written back unchanged.
template <typename Flag, typename Storage>
class TFlagSet {
 public:
  using StorageType = Storage;

  constexpr TFlagSet() = default;
  constexpr TFlagSet(std::initializer_list<Flag> flags) {
    for (Flag flag : flags) bits_ = static_cast<Storage>(bits_ | flag);
  }
  static constexpr TFlagSet FromBits(Storage bits) {
    TFlagSet set;
    set.bits_ = bits;
    return set;
  }

  constexpr Storage Bits() const { return bits_; }
  constexpr bool Contains(Flag flag) const { return (bits_ & flag) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr void Include(Flag flag) { bits_ = static_cast<Storage>(bits_ | flag); }
  constexpr void Exclude(Flag flag) { bits_ = static_cast<Storage>(bits_ & ~flag); }
  constexpr void Set(Flag flag, bool on) { on ? Include(flag) : Exclude(flag); }
  constexpr TFlagSet With(Flag flag, bool on = true) const {
    TFlagSet copy = *this;
    copy.Set(flag, on);
    return copy;
  }

  friend constexpr bool operator==(TFlagSet, TFlagSet) = default;

 private:
  Storage bits_ = 0;
};

using TLogFlags = TFlagSet<TLogFlag, std::uint8_t>;
using TSendFlags = TFlagSet<TSendFlag, std::uint16_t>;
using TDialogFlags = TFlagSet<TDialogFlag, std::uint8_t>;
using TStackFlags = TFlagSet<TStackFlag, std::uint8_t>;
using TBehaviourFlags = TFlagSet<TBehaviourFlag, std::uint8_t>;

// The module kinds whose call-stack frames are listed, as a mask with bit n for kind n:
// kind 4 always, kind 2 with sfStackKind2, kind 3 with sfStackKind3.
constexpr std::uint32_t StackKindMask(TStackFlags flags) {
  return 16u | (flags.Contains(sfStackKind2) ? 4u : 0u) | (flags.Contains(sfStackKind3) ? 8u : 0u);
}

// Fields of the general report section, in the bit order of the report field set.
enum TReportField : std::uint8_t {
  rfApplicationStartDate,
  rfApplicationName,
  rfApplicationVersionNumber,
  rfApplicationParameters,
  rfApplicationCompilationDate,
  rfExceptionDate,
  rfExceptionAddress,
  rfExceptionModule,
  rfExceptionType,
  rfExceptionMessage,
  rfActiveControlsFormClass,
  rfActiveControlsFormText,
  rfActiveControlsControlClass,
  rfActiveControlsControlText,
  rfComputerName,
  rfComputerUser,
  rfComputerTotalMemory,
  rfComputerFreeMemory,
  rfComputerTotalDisk,
  rfComputerFreeDisk,
  rfComputerSystemUpTime,
  rfComputerProcessor,
  rfComputerDisplayMode,
  rfOperatingSystemType,
  rfOperatingSystemBuild,
  rfOperatingSystemUpdate,
  rfOperatingSystemLanguage,
  rfNetworkIPAddress,
  rfNetworkSubmask,
  rfNetworkGateway,
  rfNetworkDNS1,
  rfNetworkDNS2,
  rfNetworkDHCP,
};

constexpr int ReportFieldCount = 33;
// The set is stored in five bytes; the bits past the last member are kept as they are.
constexpr int ReportFieldSetBits = 40;

// The name under which a report field is offered for selection ("Application|Start Date").
std::string_view ReportFieldLabel(TReportField field);

class TReportFieldSet {
 public:
  static constexpr std::uint64_t AllBits = (std::uint64_t{1} << ReportFieldSetBits) - 1;

  constexpr TReportFieldSet() = default;
  constexpr TReportFieldSet(std::initializer_list<TReportField> fields) {
    for (TReportField field : fields) Include(field);
  }
  static constexpr TReportFieldSet All() { return FromBits(AllBits); }
  // Bits above the fortieth are dropped.
  static constexpr TReportFieldSet FromBits(std::uint64_t bits) {
    TReportFieldSet set;
    set.bits_ = bits & AllBits;
    return set;
  }

  constexpr std::uint64_t Bits() const { return bits_; }
  constexpr bool Contains(TReportField field) const { return (bits_ >> field) & 1; }
  constexpr void Include(TReportField field) { bits_ |= std::uint64_t{1} << field; }
  constexpr void Exclude(TReportField field) { bits_ &= ~(std::uint64_t{1} << field); }
  constexpr void Set(TReportField field, bool on) { on ? Include(field) : Exclude(field); }

  friend constexpr bool operator==(TReportFieldSet, TReportFieldSet) = default;

 private:
  std::uint64_t bits_ = 0;
};
