#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tavrel::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

// Runs one command line (without the program name); returns the exit status.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tavrel::cli
