// The blocks after the general section: call stacks, modules, processor.
#pragma once

#include <string>

#include "report/capture/EMemoryReader.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EReportSnapshot.h"
#include "report/text/ETableText.h"

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

// The cells of the two tables, shared by the report and the error dialog's lists so that both
// show the same texts.
TTableRow CallStackHeaders(const TOskedaModuleOptions& options);
// Kind 4 always, kinds 2 and 3 as StackFlags asks.
bool CallStackListsFrame(const TOskedaStackEntry& frame, const TOskedaModuleOptions& options);
// Address, module file name, unit, class, procedure, line ("42", "42[3]" with sfLineOffsets,
// empty for line 0).
TTableRow CallStackFrameCells(const TOskedaStackEntry& frame, const TOskedaModuleOptions& options);
// A thread group starts at the first listed frame (previous nullptr) and wherever the thread or
// its running flag changes.
bool StartsThreadGroup(const TOskedaStackEntry* previous, const TOskedaStackEntry& frame);
// The thread line of a group, e.g. "Exception Thread: ID=1234; Priority=0; [Main]";
// exceptionThread for the first group.
std::string CallStackThreadText(const TOskedaStackEntry& frame, bool exceptionThread,
                                const std::vector<TThreadSnapshot>& threads,
                                const TOskedaModuleOptions& options);
TTableRow ModulesHeaders(const TOskedaModuleOptions& options);
// Ascending by handle; the handle has as many hexadecimal digits as its column is wide.
std::vector<TTableRow> ModulesRows(const std::vector<TModuleSnapshot>& modules,
                                   const TOskedaModuleOptions& options);
