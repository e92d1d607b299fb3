#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings_store.h"

namespace tavrel::fuzz {

// A private folder for one fuzzing process's files, made on first use and removed at
// exit. It lives under TMPDIR, which scripts/fuzz points at a memory-backed folder so
// that the many small writes cost little.
const std::string& workFolder();

// Writes `bytes` to `path` as is, without the care of a safe replace: the inputs are
// throwaway, and their speed decides how much of the input space gets explored.
void writeFile(const std::string& path, std::string_view bytes);

// Stops the run with a message when a promise does not hold; libFuzzer keeps the input.
[[noreturn]] void broken(std::string_view what);

inline void check(bool holds, std::string_view what) {
    if (!holds)
        broken(what);
}

// A set of values that differs from the factory one almost everywhere, so a table that
// was wrongly assigned cannot go unnoticed.
ValueSet markedValues(unsigned seed);

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace tavrel::fuzz
