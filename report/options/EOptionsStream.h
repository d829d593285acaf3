// The options stream: the configuration block of each module and the content of the
// per-module shared area. Little-endian; texts scrambled with a 32-bit length.
#pragma once

#include <cstddef>
#include <cstdint>

#include "report/options/EOptionsIO.h"
#include "report/options/EStoredOptions.h"
#include "report/options/EStreams.h"

// The version this release writes into its configuration container. Streams from 500 on
// share the current layout; older ones, back to 400, are read with their differences.
constexpr int OskedaConfigVersion = 5112;
constexpr int OldestOptionsVersion = 400;

void SaveStoredOptions(TStream& stream, const TOskedaStoredOptions& options);

// Before 500 the dialog switch (and, from 450, the three send switches) follow LogFlags, and
// the banner-look byte of 403..499 follows FirstTab.
// Reads a stream of the given stored version into options. Fields that version did not store
// keep the values options holds. Raises EReadError (truncated) or EOptionsStreamError
// (corrupt, or a version outside OldestOptionsVersion..OskedaConfigVersion) and then leaves
// options unchanged. The stream is left after the options, where the container goes on.
void LoadStoredOptions(TStream& stream, int version, TOskedaStoredOptions& options);

// For fuzzers and diagnostics: the options of a stream held in memory, starting from the
// defaults. Raises as LoadStoredOptions does.
TOskedaStoredOptions ParseStoredOptions(const std::uint8_t* data, std::size_t size,
                                        int version = OskedaConfigVersion);
