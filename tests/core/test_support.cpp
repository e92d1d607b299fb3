#include "core/test_support.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include <sys/stat.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/factory_defaults.h"
#include "gamefile/writer.h"
#include "keeperfx/install.h"
#include "keeperfx/places.h"

namespace tavrel::test {

namespace {
// The program's paths are UTF-8 everywhere; a plain string would be read in Windows' own
// 8-bit code page, which garbles letters outside it.
std::filesystem::path fsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
} // namespace

TempDir::TempDir() {
    // Random names until one is new: no mkdtemp on Windows.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const auto candidate =
            std::filesystem::temp_directory_path() / ("tavrel-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate))
            path_ = candidate.string();
    }
    if (path_.empty())
        throw std::runtime_error("no fresh temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void writeBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(fsPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(fsPath(path), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void makeFolders(const std::string& path) {
    std::filesystem::create_directories(fsPath(path));
}

void writeFile(const std::string& path, std::string_view bytes, mode_t mode) {
    std::filesystem::remove(fsPath(path)); // it may be read-only from an earlier round
    writeBytes(path, bytes);
    std::filesystem::permissions(fsPath(path), static_cast<std::filesystem::perms>(mode));
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::vector<std::string> listFolder(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(fsPath(dir), ec)) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void makeGameFolder(const std::string& root, std::string_view content, bool withAddon) {
    makeFolders(root + "/Data");
    writeBytes(root + "/Data/CREATURE.TXT", content);
    if (withAddon)
        writeBytes(root + "/Data/DD1CREAT.TXT", content);
}

std::string digest(std::string_view tool, std::string_view bytes) {
    TempDir dir;
    const std::string file = dir.file("data");
    writeBytes(file, bytes);
    const std::string command = std::string(tool) + " '" + file + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    char buffer[256] = {};
    const bool got = fgets(buffer, sizeof buffer, pipe) != nullptr;
    pclose(pipe);
    if (!got)
        throw std::runtime_error("no output from " + command);
    std::string line = buffer;
    return line.substr(0, line.find(' '));
}

std::string expectedStep(fileio::testing::Op op) {
    // In the order of the enumerators.
    constexpr const char* steps[] = {"create", "write",       "sync",  "sync folder",
                                     "rename", "remove",      "chmod", "chown",
                                     "close",  "make folder", "move",  "remove folder"};
    return steps[static_cast<int>(op)];
}

#ifndef _WIN32
int exitStatusInChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

void makeKeeperFxInstall(const std::string& root) {
    constexpr std::string_view handWritten[][2] = {
        {"creatrs/wizard.cfg", "[attributes]\nProperties = BLEEDS HUMANOID_SKELETON\n"
                               "SpellImmunity = WIND CHICKEN\n[jobs]\nPrimaryJobs = SLEEP\n"},
        {"fxdata/rules.cfg",
         "[research]\nResearch = MAGIC POWER_HAND 0\nResearch = ROOM TREASURE 9\n"
         "Research = MAGIC POWER_TIME_BOMB 3\n"},
        {"fxdata/magic.cfg", "[spell3]\nSpellPower = POWER_FREEZE\n"
                             "[power5]\nPower = 1 2 3 4 5 6 7 8 9 1234\n"},
    };
    for (int record = 1; record <= kSlotCount; ++record)
        if (const auto file = keeperfx::placeOf(record).file; !file.empty()) {
            makeFolders(root + "/" + std::string(file.substr(0, file.find('/'))));
            writeBytes(root + "/" + std::string(file), "");
        }
    for (const auto& [file, text] : handWritten)
        writeBytes(root + "/" + std::string(file), text);
    if (!keeperfx::applyMod(root, factoryDefaults(), "base").ok)
        throw std::runtime_error("no KeeperFX test install");
    writeBytes(root + "/mods/load_order.cfg",
               "; players' own\r\n[after_base]\r\nbase\r\n\r\n[after_campaign]\r\nother\r\n");
}

void addKeeperFxCampaigns(const std::string& root) {
    constexpr std::string_view files[][2] = {
        {"campgns/alpha.cfg", "[common]\nNAME = Alpha\nNAME = Alpha Rising\nNAME_TEXT_ID = 9\n"
                              "SINGLE_LEVELS = 1 2\n"
                              "LEVELS_LOCATION = campgns/alpha\n"
                              "CONFIGS_LOCATION = campgns/alpha_cfgs\n"},
        {"campgns/alpha_cfgs/magic.cfg", "[power5]\nPower = 11 12 13\n"},
        {"campgns/twin.cfg", "; shares alpha's rules\r\n[Common]\r\nNAME = Alpha Twin\r\n"
                             "SINGLE_LEVELS = 7\r\nCONFIGS_LOCATION = campgns\\alpha_cfgs\\ \r\n"},
        {"campgns/beta.cfg",
         "[common]\nNAME = Beta Deep\nSINGLE_LEVELS = 3\n"
         "LEVELS_LOCATION = campgns/beta\nCREATURES_LOCATION = campgns/beta_crtr\n"},
        {"campgns/beta_crtr/wizard.cfg", "[attributes]\nProperties = BLEEDS\nHealth = 700\n"},
        {"campgns/beta/map00003.wizard.cfg", "[attributes]\nHealth = 5\n"},
        {"campgns/notes.cfg", "[common]\nNAME = No levels\nSINGLE_LEVELS = 0\n"},
        {"levels/gamma.cfg", "[common]\nNAME = Gamma Pack\nLEVELS_LOCATION = levels/gamma\n"},
        {"levels/gamma/gamma.lif", "1, First\n"},
        {"levels/empty.cfg", "[common]\nNAME = No list\nLEVELS_LOCATION = levels/none\n"},
    };
    for (const auto& [file, text] : files) {
        makeFolders(root + "/" + std::string(file.substr(0, file.rfind('/'))));
        writeBytes(root + "/" + std::string(file), text);
    }
}

ValueSet variedValues(unsigned seed) {
    std::mt19937 random(seed);
    // Mix small values, values with many digits and the extremes of the range.
    std::uniform_int_distribution<int> pick(0, 9);
    std::uniform_int_distribution<std::int32_t> any(0, 2147483647), small(0, 999);
    ValueSet values{};
    for (auto& v : values) {
        const int kind = pick(random);
        v = kind == 0 ? 0 : kind == 1 ? 2147483647 : kind <= 3 ? any(random) : small(random);
    }
    return values;
}

} // namespace tavrel::test
