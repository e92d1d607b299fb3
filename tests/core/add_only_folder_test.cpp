// A folder that takes new files but lets none be removed or renamed (Linux's append-only
// flag, which root can set): whatever the editor made there would stay for good, so it
// makes nothing and says why.
#ifdef __linux__
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "core/test_support.h"
#include "keeperfx/install.h"

namespace tavrel {
namespace {

// Runs `body` while `folder` is append-only; false when the flag cannot be set here.
template <typename Body> bool whileAddOnly(const std::string& folder, Body body) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    const bool set = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                     (flags |= FS_APPEND_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (set)
        body();
    flags &= ~FS_APPEND_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);
    return set;
}

constexpr const char* kAddOnly = "The folder lets files be added but not replaced or removed";

TEST(AddOnlyFolder, NoTemporaryFileStaysBehind) {
    test::TempDir dir;
    fileio::Status probe, replace;
    if (!whileAddOnly(dir.path(), [&] {
            probe = fileio::probeReplace(dir.file("CREATURE.TXT"));
            replace = fileio::replaceFile(dir.file("CREATURE.TXT"), "x");
        }))
        GTEST_SKIP() << "no append-only folders here";
    EXPECT_EQ(test::listFolder(dir.path()), std::vector<std::string>{});
    for (const fileio::Status& error : {probe, replace}) {
        ASSERT_TRUE(error);
        EXPECT_EQ(error->reason(), kAddOnly);
    }
}

TEST(AddOnlyFolder, NoKeeperFxModFolderStaysBehind) {
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    const std::vector<std::string> mods = test::listFolder(game.file("mods"));
    keeperfx::ModApply applied;
    if (!whileAddOnly(game.file("mods"),
                      [&] { applied = keeperfx::applyMod(game.path(), factoryDefaults()); }))
        GTEST_SKIP() << "no append-only folders here";
    EXPECT_EQ(test::listFolder(game.file("mods")), mods);
    EXPECT_EQ(applied.message, "The KeeperFX mod cannot be written: " + game.file("mods") + ": " +
                                   kAddOnly + ". KeeperFX's files have not been changed.");
}

} // namespace
} // namespace tavrel
#endif
