#include "report/text/EReportText.h"

#include "report/text/EReportBlocks.h"
#include "report/text/ESectionBuilder.h"

const char* const ReportProductLine = "OskedaLog 5.1.12";

TReportText TReportText::Build(const TReportSnapshot& snapshot, const TOskedaModuleOptions& options,
                               const TMemoryReader* memory) {
  TReportText report;
  report.general_ = BuildGeneralSection(snapshot, options);
  report.callStack_ = BuildCallStackBlock(snapshot.Stack, snapshot.Threads, options);
  report.modules_ = BuildModulesBlock(snapshot.Modules, options);
  report.processor_ = BuildProcessorBlock(snapshot.Exception.Context, memory, options);
  report.duplicate_ = DuplicateCheckFields(snapshot.Exception);
  return report;
}

void TReportText::AddSection(int number, std::string_view title, std::string_view text) {
  if (text.empty()) return;
  TNumberedSectionBuilder builder(number - 1);
  builder.AddSection(title);
  builder.AddField("", text);
  if (!general_.empty()) general_ += "\r\n";
  general_ += builder.Render();
}

void TReportText::AddCustomData(std::string_view text, const TOskedaModuleOptions& options) {
  AddSection(7, options.GetText(13), text);
}

void TReportText::AddReproduceRequest(std::string_view text, const TOskedaModuleOptions& options) {
  AddSection(8, options.GetText(81), text);
}

std::string TReportText::GeneralPart() const {
  return std::string(ReportProductLine) + "\r\n\r\n" + general_;
}

std::string TReportText::Text() const {
  return GeneralPart() + "\r\n" + callStack_ + modules_ + processor_;
}
