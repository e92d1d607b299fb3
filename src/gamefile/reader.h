#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/fileio.h"
#include "core/settings_store.h"

namespace tavrel {

enum class ReadStatus {
    Accepted, // every slot taken from the file
    Rejected, // not exactly 5200 numbers: the incompatible-file message
    Failed,   // a run-time error, by number
};

struct GameFileRead {
    ReadStatus status = ReadStatus::Failed;
    int numberCount = 0; // digit runs counted (complete when not Failed for I/O)
    int errorNumber = 0; // for Failed
    std::optional<fileio::IoError> ioError;
    ValueSet values{}; // for Accepted
};

// Digit runs that end before the end of the data (a final run is not counted).
int countNumbers(std::string_view bytes);

// Takes every slot from its number position; yes/no flags above 1 get their
// factory value from `defaults`. Nothing is half-done: the values are only
// meaningful when the status is Accepted.
GameFileRead parseGameFile(std::string_view bytes, const ValueSet& defaults);

// Reads and parses the game file at `path`.
GameFileRead readGameFileAt(const std::string& path, const ValueSet& defaults);

struct GameReadResult {
    ReadStatus status = ReadStatus::Failed;
    bool addonPresent = false;
    int numberCount = 0;
    int errorNumber = 0;
    std::optional<fileio::IoError> ioError;
};

// Reads the installation's CREATURE.TXT into the store's current values, all of
// them or none, and tells whether the add-on's copy exists beside it.
GameReadResult readGame(const std::string& installPath, SettingsStore& store);

} // namespace tavrel
