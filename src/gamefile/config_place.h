#pragma once

#include <string>
#include <string_view>

namespace tavrel {

// The file the installer leaves beside the program: an installed copy keeps its
// configuration with the user's own files, where Windows lets every user write.
inline constexpr std::string_view kInstalledMarkerName = "installed";

// What decides where Tavrel.cfg lives.
struct ConfigPlaceFacts {
    bool windows = false;      // the system keeps settings per user, not in the start folder
    std::string programFolder; // the folder that holds the program
    bool installed = false;    // the installer's marker stands in programFolder
    bool programFolderWritable = false;
    std::string appData; // the user's application-data folder (%APPDATA%)
};

// Where Tavrel.cfg lives. Elsewhere than on Windows: the working folder, as always.
// On Windows a portable copy keeps it beside the program while that folder takes a
// file, and an installed copy (or a portable one on a read-only medium) in the
// user's application data, in a folder of the program's own.
std::string configFilePath(const ConfigPlaceFacts& facts);

// The facts of the running program; looks at the disc only on Windows.
ConfigPlaceFacts runningConfigPlace();

} // namespace tavrel
