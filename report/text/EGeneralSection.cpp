#include "report/text/EGeneralSection.h"

#include "platform/SysUtils.h"
#include "report/text/EReportValues.h"
#include "report/text/ESectionBuilder.h"

namespace {

std::string Parameters(const std::vector<std::string>& parameters) {
  std::string out;
  for (const std::string& p : parameters) {
    if (!out.empty()) out += ' ';
    out += '"' + p + '"';
  }
  return out;
}

std::string CompilationDate(const TReportSnapshot& s) {
  if (s.Application.BuildTime == 0) return {};
  const double hours = RoundHalfEven(s.LocalOffsetMinutes / 60.0);
  return FormatReportDate(s.Application.BuildTime + hours / HoursPerDay, s.LocalOffsetMinutes);
}

class GeneralWriter {
 public:
  explicit GeneralWriter(const TOskedaModuleOptions& options) : options_(options) {}

  void Section(int text) { builder_.AddSection(options_.GetText(text)); }
  void Field(int text, TReportField field, const std::string& value, bool available = true) {
    builder_.AddField(options_.GetText(text), value,
                      available && options_.ReportFieldSet().Contains(field));
  }
  std::string Render() const { return builder_.Render(); }

 private:
  const TOskedaModuleOptions& options_;
  TNumberedSectionBuilder builder_;
};

}  // namespace

TDuplicateCheckFields DuplicateCheckFields(const TExceptionSnapshot& e) {
  return {std::string(ExtractFileName(e.ModulePath)), e.Address ? HexAddress(e.Address) : "",
          ExceptionTypeText(e), ExceptionMessageText(e)};
}

std::string BuildGeneralSection(const TReportSnapshot& s, const TOskedaModuleOptions& options) {
  GeneralWriter w(options);
  const TApplicationSnapshot& app = s.Application;
  w.Section(22);
  w.Field(23, rfApplicationStartDate, FormatReportDate(app.StartTime, s.LocalOffsetMinutes));
  w.Field(24, rfApplicationName,
          app.Description.empty() ? std::string(ExtractFileName(app.ExePath)) : app.Description);
  w.Field(25, rfApplicationVersionNumber, app.Version);
  w.Field(26, rfApplicationParameters, Parameters(app.Parameters));
  w.Field(27, rfApplicationCompilationDate, CompilationDate(s));

  const TDuplicateCheckFields exception = DuplicateCheckFields(s.Exception);
  w.Section(28);
  w.Field(29, rfExceptionDate, FormatReportDate(s.Exception.Date, s.LocalOffsetMinutes));
  w.Field(30, rfExceptionAddress, exception.Address);
  w.Field(31, rfExceptionModule, exception.Module);
  w.Field(32, rfExceptionType, exception.Type);
  w.Field(33, rfExceptionMessage, exception.Message);

  // Console and web programs have no active controls: the fields are left out, so the
  // section drops and the later sections keep their numbers.
  const TActiveControlsSnapshot& controls = s.ActiveControls;
  w.Section(34);
  w.Field(35, rfActiveControlsFormClass, controls.FormClass, controls.Present);
  w.Field(36, rfActiveControlsFormText, CleanWindowText(controls.FormText), controls.Present);
  w.Field(37, rfActiveControlsControlClass, controls.ControlClass, controls.Present);
  w.Field(38, rfActiveControlsControlText,
          ControlTextForReport(controls.ControlClass, controls.ControlText, controls.ControlStyle),
          controls.Present);

  const TSystemSnapshot& sys = s.System;
  w.Section(39);
  w.Field(40, rfComputerName, sys.ComputerName);
  w.Field(41, rfComputerUser, sys.UserName);
  w.Field(42, rfComputerTotalMemory, FormatMemoryMb(sys.TotalMemoryBytes));
  w.Field(43, rfComputerFreeMemory, FormatMemoryMb(sys.FreeMemoryBytes));
  w.Field(44, rfComputerTotalDisk,
          sys.TotalDiskBytes ? FormatDiskGb(*sys.TotalDiskBytes, sys.DecimalSeparator) : "");
  w.Field(45, rfComputerFreeDisk,
          sys.FreeDiskBytes ? FormatDiskGb(*sys.FreeDiskBytes, sys.DecimalSeparator) : "");
  w.Field(46, rfComputerSystemUpTime, FormatUpTime(sys.UpTimeMs));
  w.Field(47, rfComputerProcessor, ProcessorName(sys));
  w.Field(48, rfComputerDisplayMode,
          FormatDisplayMode(sys.ScreenWidth, sys.ScreenHeight, sys.BitsPerPixel));

  w.Section(49);
  w.Field(50, rfOperatingSystemType,
          OperatingSystemType(sys.Platform, sys.MajorVersion, sys.MinorVersion, sys.ServicePack));
  w.Field(51, rfOperatingSystemBuild,
          std::to_string(ReportedBuildNumber(sys.Platform, sys.BuildNumber)));
  w.Field(52, rfOperatingSystemUpdate, TrimValueText(sys.ServicePack));
  w.Field(53, rfOperatingSystemLanguage, LanguageName(sys.Locales, sys.DefaultLanguageId));

  const TNetworkFields net = sys.Network ? NetworkFields(*sys.Network) : TNetworkFields{};
  w.Section(54);
  w.Field(55, rfNetworkIPAddress, net.IpAddress);
  w.Field(56, rfNetworkSubmask, net.Submask);
  w.Field(57, rfNetworkGateway, net.Gateway);
  w.Field(58, rfNetworkDNS1, net.Dns1);
  w.Field(59, rfNetworkDNS2, net.Dns2);
  w.Field(60, rfNetworkDHCP, net.Dhcp);
  return w.Render();
}
