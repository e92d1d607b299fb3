#pragma once

// What the platform units of the file layer share; not for use outside it.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/fileio.h"

namespace tavrel::fileio::detail {

// The longest file name most file systems accept, in bytes (or UTF-16 units).
inline constexpr std::size_t MaxNameLength = 255;
// Attempts at a fresh temporary name before giving up; a clash is already unlikely.
inline constexpr int CreateAttempts = 100;
// Large writes go in pieces: some systems refuse single transfers of 2 GiB or more.
inline constexpr std::size_t MaxTransfer = std::size_t{1} << 30;

// Counts one operation for the test seam; returns the error a test wants it to fail
// with, or 0 to let it run for real.
int faultFor(testing::Op op);
// Only an ASCII fold: the game's own names are ASCII, and folding other letters would
// depend on a locale the file system knows nothing about.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);
// A hidden name beside the target, for the temporary file of a replace: the prefix
// below and a random suffix of TemporarySuffix letters and digits.
std::string temporaryName(std::string_view name);
std::string temporaryPrefix(std::string_view name);
inline constexpr std::size_t TemporarySuffix = 6;
// True for a path with a NUL byte, which no file can have.
bool hasNul(std::string_view path);
// Whether another program holds `path`, or anything in it when it is a folder, open so
// that it cannot be moved: Windows then names only "access denied". Never on POSIX,
// where an open file does not stop a move.
bool heldOpenWithin(const std::string& path);

} // namespace tavrel::fileio::detail
