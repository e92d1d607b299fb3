// The file layer's Windows branch: drive letters, backslashes, names in any letter case, the
// read-only attribute and Win32 errors, each as a player's folder can present them.
#include "core/fileio.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "core/factory_defaults.h"
#include "core/test_support.h"
#include "gamefile/writer.h"
#include "keeperfx/install.h"

namespace tavrel {
namespace {

namespace fio = fileio;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

void setReadOnly(const std::string& path) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

bool writable(const std::string& path) {
    return (fs::status(path).permissions() & fs::perms::owner_write) != fs::perms::none;
}

TEST(FileIoWindows, ReplacesAReadOnlyFileHoweverItsPathIsGiven) {
    EXPECT_EQ(fio::joinPath("C:\\Games\\Keeper", "Data"), "C:\\Games\\Keeper\\Data");
    EXPECT_EQ(fio::joinPath("E:\\", "Data"), "E:\\Data");
    EXPECT_EQ(fio::joinPath("E:/Keeper/", "Data"), "E:/Keeper/Data");
    test::TempDir dir;
    test::makeFolders(dir.file("Data"));
    EXPECT_EQ(fio::findEntry(dir.path(), "DATA"), "Data");
    const fs::path oldCwd = fs::current_path();
    fs::current_path(dir.path());
    const std::string drive = fs::absolute("Data\\CREATURE.TXT").string();
    for (const std::string& path :
         {drive, std::string("Data\\CREATURE.TXT"), std::string("Data/CREATURE.TXT"),
          std::string("CREATURE.TXT")}) {
        SCOPED_TRACE(path);
        test::writeBytes(path, "old");
        setReadOnly(path);
        const fio::Status status = fio::replaceFile(path, "new");
        EXPECT_FALSE(status) << status->step << ": " << status->reason();
        EXPECT_EQ(test::readBytes(path), "new");
        EXPECT_TRUE(writable(path));
        // Clearing the attribute alone does the same.
        setReadOnly(path);
        EXPECT_FALSE(fio::setAttributesNormal(path));
        EXPECT_TRUE(writable(path));
        fs::remove(path);
    }
    fs::current_path(oldCwd);
    EXPECT_EQ(drive.substr(1, 2), ":\\");
    EXPECT_EQ(test::listFolder(dir.path()), Names{"Data"});
    EXPECT_TRUE(test::listFolder(dir.file("Data")).empty());
}

TEST(FileIoWindows, Win32ErrorsBecomeTheRunTimeNumbersAndChangeNothing) {
    test::TempDir dir;
    test::writeBytes(dir.file("afile"), "plain");
    test::makeFolders(dir.file("folder"));
    // A game file held open by the running game stays whole, and is said to be in use.
    test::makeGameFolder(dir.file("game"), "old");
    const HANDLE held = CreateFileA(dir.file("game\\Data\\CREATURE.TXT").c_str(), GENERIC_READ, 0,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const ApplyResult inUse = applyToGame(dir.file("game"), factoryDefaults());
    CloseHandle(held);
    std::string out;
    for (const auto& [status, code, step, number] :
         std::vector<std::tuple<fio::Status, int, std::string, int>>{
             {fio::readFile(dir.file("missing"), out), ENOENT, "open", 53},
             {fio::readFile(dir.file("folder"), out), EISDIR, "open", 75},
             {fio::readFile(dir.file("afile\\below"), out), ENOTDIR, "open", 76},
             {fio::replaceFile(dir.file("missing\\CREATURE.TXT"), "x"), ENOTDIR, "create", 76},
             {fio::replaceFile(dir.file("folder"), "x"), EISDIR, "create", 75},
             {fio::replaceFile(dir.file("CREATURE?.TXT"), "x"), EINVAL, "create", 52}}) {
        ASSERT_TRUE(status) << step << " " << code;
        EXPECT_EQ(status->code, code) << status->path;
        EXPECT_EQ(status->step, step) << status->path;
        EXPECT_EQ(status->number(), number) << status->path;
    }
    ASSERT_TRUE(inUse.error);
    EXPECT_EQ(inUse.error->number(), 75);
    EXPECT_EQ(inUse.message, "Unable to write CREATURE.TXT: The file is in use by another program; "
                             "the game may be running. The game's files have not been changed.");
    EXPECT_EQ(test::readBytes(dir.file("game\\Data\\CREATURE.TXT")), "old");
    EXPECT_EQ(test::listFolder(dir.path()), (Names{"afile", "folder", "game"}));
}

HANDLE holdOpen(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The running game holds the mod's files, or a program works in its folder: the folder
// cannot be moved aside, and the user learns why rather than "Permission denied".
TEST(FileIoWindows, AModFolderHeldByAnotherProgramIsSaidToBeInUse) {
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    ValueSet values = factoryDefaults();
    values[4] = 4321; // the Wizard's Health
    ASSERT_TRUE(keeperfx::applyMod(game.path(), values).ok);
    const std::string mods = fio::joinPath(game.path(), "mods");
    const std::string mod = fio::joinPath(mods, "tavrel");
    const std::string wizard = test::readBytes(mod + "\\creatrs\\wizard.cfg");
    const HANDLE folder = holdOpen(mod);
    ASSERT_NE(folder, INVALID_HANDLE_VALUE);
    const keeperfx::ModApply applied = keeperfx::applyMod(game.path(), factoryDefaults());
    CloseHandle(folder);
    EXPECT_EQ(applied.message, "Unable to write the KeeperFX mod: " + mod +
                                   ": The folder is in use by another program, perhaps the game. "
                                   "KeeperFX's files have not been changed.");
    EXPECT_EQ(test::readBytes(mod + "\\creatrs\\wizard.cfg"), wizard);
    // Windows refuses to move a folder with a file open in it as "access denied"; Wine
    // moves it, so the test seam plays Windows' part.
    for (const auto& [held, reason] : std::vector<std::pair<std::string, std::string>>{
             {mod + "\\creatrs\\wizard.cfg",
              "The folder is in use by another program, perhaps the game"},
             {mod + "\\creatrs", "The folder is in use by another program, perhaps the game"},
             {fio::joinPath(mods, "load_order.cfg"), "Permission denied"}}) {
        const HANDLE file = holdOpen(held);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << held;
        fio::testing::setFaultPlan(fio::testing::FaultPlan{1, EACCES});
        const fio::Status moved = fio::moveEntry(mod, mod + "-aside");
        fio::testing::setFaultPlan(std::nullopt);
        CloseHandle(file);
        EXPECT_EQ(moved.value_or(fio::IoError{}).reason(), reason) << held;
    }
    EXPECT_FALSE(fio::moveEntry(mod, mod + "-aside"));
}

// A pipe or a device is no file: a read could wait for ever, a replace would not reach it.
TEST(FileIoWindows, PipesAndDevicesAreRefusedWithoutWaiting) {
    const std::string pipe = "\\\\.\\pipe\\tavrel-test-" + std::to_string(GetCurrentProcessId());
    const HANDLE server =
        CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    for (const auto& [path, why] : std::vector<std::pair<std::string, std::string>>{
             {pipe, "Is a named pipe, not a file"}, {"NUL", "Is a device, not a file"}}) {
        std::string out = "untouched";
        // The replace first: the read takes the pipe's only instance.
        for (const fio::Status& status : {fio::replaceFile(path, "x"), fio::readFile(path, out)})
            EXPECT_EQ(status.value_or(fio::IoError{}).why, why) << path;
        EXPECT_EQ(out, "untouched");
    }
    CloseHandle(server);
}

} // namespace
} // namespace tavrel
