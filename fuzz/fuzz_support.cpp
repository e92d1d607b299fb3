#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace tavrel::fuzz {

namespace {

std::string makeWorkFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavrel-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    return pattern;
}

// Never freed: libFuzzer ends a run with exit(), and the clean-up must still find the
// name after the program's static objects are gone.
const std::string* folder = nullptr;

void removeWorkFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(*folder, ignored);
}

} // namespace

const std::string& workFolder() {
    if (!folder) {
        folder = new std::string(makeWorkFolder());
        std::atexit(removeWorkFolder);
    }
    return *folder;
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
}

void broken(std::string_view what) {
    std::fprintf(stderr, "\nBROKEN PROMISE: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

ValueSet markedValues(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::int32_t> any(-2147483647 - 1, 2147483647);
    ValueSet values{};
    for (auto& v : values)
        v = any(random);
    return values;
}

} // namespace tavrel::fuzz
