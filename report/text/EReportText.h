// The whole report: product line, general part (which grows by the added sections), call
// stacks, modules and processor block, joined with CR LF line ends.
#pragma once

#include <string>
#include <string_view>

#include "report/capture/EMemoryReader.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EGeneralSection.h"
#include "report/text/EReportSnapshot.h"

extern const char* const ReportProductLine;  // "OskedaLog 5.1.12"

class TReportText {
 public:
  // memory: where the processor block's dump is read; nullptr leaves the dump empty.
  static TReportText Build(const TReportSnapshot& snapshot, const TOskedaModuleOptions& options,
                           const TMemoryReader* memory);

  // Appends a numbered section with one field of empty label to the general part, after any
  // section added before. Nothing is added for an empty text.
  void AddSection(int number, std::string_view title, std::string_view text);
  // Section 7 under text 13 (the custom data) and section 8 under text 81 (the user's steps).
  void AddCustomData(std::string_view text, const TOskedaModuleOptions& options);
  void AddReproduceRequest(std::string_view text, const TOskedaModuleOptions& options);

  std::string Text() const;
  // The product line and the general part with its added sections: what the General tab shows.
  std::string GeneralPart() const;
  const std::string& CallStackBlock() const { return callStack_; }
  const std::string& ModulesBlock() const { return modules_; }
  const std::string& ProcessorBlock() const { return processor_; }
  const TDuplicateCheckFields& DuplicateFields() const { return duplicate_; }

 private:
  std::string general_;
  std::string callStack_, modules_, processor_;
  TDuplicateCheckFields duplicate_;
};
