// The side copy that makes rewriting the log safe against a kill or a power cut. Before the
// log file is rewritten in place, its new content goes to a side file beside it, sealed with
// its length and CRC-32 and flushed to the disk; once the log file holds the new content
// the seal is broken. A reader that finds a sealed side copy takes it: the rewrite it belongs
// to may have stopped half way. A side copy without a whole seal (torn, or broken after a
// finished save) is ignored, and the log file holds the right content.
//
// The side file stays between saves with its seal broken: rewriting a file in place costs
// a fraction of creating and growing a new one and flushing that (on Windows as under Wine).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "delivery/log/ELogFileSystem.h"

std::string SideCopyFileName(const std::string& logFileName);

// content followed by the seal.
std::string SealSideCopy(std::string_view content);
// The content of a sealed side copy; nothing when the text is not one (torn or broken).
std::optional<std::string> UnsealSideCopy(std::string_view sideText);

// Writes and flushes the sealed side copy of logFileName; the side file stays open for the
// seal to be broken through it.
std::unique_ptr<TLogFileHandle> WriteSideCopy(TLogFileSystem& fileSystem,
                                              const std::string& logFileName,
                                              std::string_view content);
// Breaks the seal of the side copy written for content; no flush is needed, since until the
// broken seal reaches the disk the side copy holds what the log file holds.
void BreakSideCopySeal(TLogFileHandle& side, std::string_view content);
void BreakSideCopySeal(TLogFileSystem& fileSystem, const std::string& logFileName,
                       std::string_view content);
// The content of logFileName's sealed side copy, when there is one that can be read.
std::optional<std::string> ReadSideCopy(TLogFileSystem& fileSystem,
                                        const std::string& logFileName);
