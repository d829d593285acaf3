// The blocks after the general section: call stacks, modules, processor.
#pragma once

#include <string>

#include "report/capture/EMemoryReader.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EReportSnapshot.h"

// Lists the frames of the kinds StackFlags selects (kind 4 always), grouped by thread; the
// first group is the exception thread. Ends with a blank line.
std::string BuildCallStackBlock(const TOskedaStackList& stack,
                                const std::vector<TThreadSnapshot>& threads,
                                const TOskedaModuleOptions& options);
// With lfModulesSection the table of modules in ascending handle order, else the title alone.
std::string BuildModulesBlock(const std::vector<TModuleSnapshot>& modules,
                              const TOskedaModuleOptions& options);
// With lfCpuSection the registers and the 16-line dump of the stack and the code at EIP
// (empty unless both are readable), else the title alone. memory may be nullptr.
std::string BuildProcessorBlock(const std::optional<TRegisterSnapshot>& context,
                                const TMemoryReader* memory, const TOskedaModuleOptions& options);
// The 16 dump lines alone (each ends with CR LF); empty when the memory is not readable.
std::string BuildMemoryDump(const TRegisterSnapshot& context, const TMemoryReader& memory);
