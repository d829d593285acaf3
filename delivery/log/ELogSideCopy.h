// The side copy that makes rewriting the log safe against a kill or a power cut. Before the
// log file is rewritten in place, its new content goes to a side file beside it, sealed with
// its length and MD5 digest and flushed to the disk; the side file is removed once the log
// file holds the new content. A reader that finds a sealed side copy takes it: the rewrite
// it belongs to may have stopped half way. An unsealed (torn) side copy means the rewrite had
// not begun, so the log file still holds the old content.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "delivery/log/ELogFileSystem.h"

std::string SideCopyFileName(const std::string& logFileName);

// content followed by the seal.
std::string SealSideCopy(std::string_view content);
// The content of a sealed side copy; nothing when the text is not one (torn or foreign).
std::optional<std::string> UnsealSideCopy(std::string_view sideText);

// Writes and flushes the sealed side copy of logFileName.
void WriteSideCopy(TLogFileSystem& fileSystem, const std::string& logFileName,
                   std::string_view content);
// The content of logFileName's sealed side copy, when there is one that can be read.
std::optional<std::string> ReadSideCopy(TLogFileSystem& fileSystem,
                                        const std::string& logFileName);
