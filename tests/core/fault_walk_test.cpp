// Apply and the locate dialog's find, with each operating-system call of the whole run failing in
// turn. After every failure the old files must be byte for byte what they were, no temporary file
// may be left, the user must be told the right thing, and no table may have changed. (A settings
// save is one replace, walked in fileio_test.cpp.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/bounds.h"
#include "core/editor_state.h"
#include "core/errors.h"
#include "core/fileio.h"
#include "core/test_support.h"
#include "gamefile/config_file.h"
#include "gamefile/reader.h"
#include "gamefile/startup.h"
#include "gamefile/writer.h"

namespace tavrel {
namespace {

namespace fault = fileio::testing;
using fault::Op;

// One way an operation can fail, and what each place tells the user about it.
struct Failure {
    int code;
    const char* reason;        // the system's words, which Apply quotes
    int number;                // the run-time error number the dialogs choose their message by
    const char* configMessage; // writing Tavrel.cfg after a find
    const char* locateMessage; // the find itself, before Tavrel.cfg
    bool countsAtFolderSync;   // false: the folder merely cannot be synced, which
                               // is no failure
};

constexpr const char* kUnknown57 = "This action has caused an unknown error. Error code:  57";
constexpr const char* kNoDisc = "There is no disc in the drive or the device is unavailable.";

const Failure kFailures[] = {
    {EIO, "Input/output error", 57, kUnknown57, kUnknown57, true},
    {EACCES, "Permission denied", 75,
     "Unable to write Tavrel.cfg. You may need to copy the editor to another disc.",
     "You can't use the Dungeon Keeper disc as the game location.", false},
    {ENXIO, "No such device or address", 68, kNoDisc, kNoDisc, true},
};

// Every file below `root` with its content, so that any change, addition or leftover temporary file
// shows up in one comparison.
std::map<std::string, std::string> snapshot(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string relative = std::filesystem::relative(entry.path(), root).generic_string();
        files[relative] = entry.is_regular_file() ? test::readBytes(entry.path().string()) : "/";
    }
    return files;
}

// The operations of one clean run of `write`.
template <typename Write> std::vector<Op> operationsOf(Write&& write) {
    fault::setFaultPlan(std::nullopt);
    write();
    return fault::operations();
}

// Calls `check(n, op, failure, result)` for every failure of every operation in `ops`, after
// `prepare()` and a run of `write()` with operation n failing, and no other.
template <typename Prepare, typename Write, typename Check>
void walk(const std::vector<Op>& ops, Prepare&& prepare, Write&& write, Check&& check) {
    for (const Failure& failure : kFailures) {
        for (int n = 1; n <= static_cast<int>(ops.size()); ++n) {
            const Op op = ops[static_cast<std::size_t>(n - 1)];
            SCOPED_TRACE(test::expectedStep(op) + " (operation " + std::to_string(n) +
                         ") failing with " + failure.reason);
            prepare();
            fault::setFaultPlan(fault::FaultPlan{n, failure.code});
            auto result = write();
            fault::setFaultPlan(std::nullopt);
            check(n, op, failure, result);
        }
    }
}

class FaultWalk : public ::testing::Test {
protected:
    void TearDown() override { fault::setFaultPlan(std::nullopt); }
};

// Apply: CREATURE.TXT, then DD1CREAT.TXT when the add-on is installed.
TEST_F(FaultWalk, ApplyLeavesEveryFileItDidNotReplaceAsItWas) {
    const std::string oldGame = renderGameFile(test::variedValues(3));
    // Held within what the original game takes, as only such values are written.
    ValueSet values = test::variedValues(5);
    for (int record = 1; record <= kSlotCount; ++record) {
        std::int32_t& value = values[static_cast<std::size_t>(record - 1)];
        value = std::min(value, boundsOf(slotOfRecord(record)).upper);
    }
    const std::string written = renderGameFile(values);

    for (bool withAddon : {false, true}) {
        SCOPED_TRACE(withAddon ? "with the add-on" : "without the add-on");
        test::TempDir game;
        auto prepare = [&] {
            test::makeGameFolder(game.path(), oldGame, withAddon);
            if (withAddon)
                test::writeBytes(game.file("Data/DD1CREAT.TXT"), "the add-on's own");
        };
        prepare();
        const auto before = snapshot(game.path());
        const std::vector<Op> ops = operationsOf([&] { applyToGame(game.path(), values); });
        // Each replace ends with its folder sync: from the first one on, CREATURE.TXT is in place.
        // Windows has no folder sync; there the rename ends a replace.
#ifdef _WIN32
        const Op last = Op::Rename;
        const std::ptrdiff_t inPlace = 2;
#else
        const Op last = Op::Sync;
        const std::ptrdiff_t inPlace = 1;
#endif
        const auto firstFileOps = std::find(ops.begin(), ops.end(), last) - ops.begin() + inPlace;
        ASSERT_EQ(std::count(ops.begin(), ops.end(), last), withAddon ? 2 : 1);

        walk(
            ops, prepare, [&] { return applyToGame(game.path(), values); },
            [&](int n, Op op, const Failure& failure, const ApplyResult& result) {
                // Up to its folder sync a failure leaves CREATURE.TXT alone; the add-on's copy is
                // only written once CREATURE.TXT is in place, and a failing folder sync does not
                // stop it.
                auto expected = before;
                if (n >= firstFileOps)
                    expected["Data/CREATURE.TXT"] = written;
                if (withAddon && op == Op::Sync)
                    expected["Data/DD1CREAT.TXT"] = written;
                EXPECT_EQ(snapshot(game.path()), expected);
                EXPECT_EQ(result.addonWritten, withAddon && op == Op::Sync);

                if (op == Op::Sync && !failure.countsAtFolderSync) {
                    EXPECT_EQ(result.outcome, ApplyOutcome::Applied);
                    return;
                }
                ASSERT_TRUE(result.error);
                EXPECT_EQ(result.error->code, failure.code);
                EXPECT_EQ(result.error->step, test::expectedStep(op));
                const std::string reason = failure.reason;
                // Past a rename only the new file's safety from a power cut is unknown, and the
                // user must not be told that nothing changed.
                if (op == Op::Sync)
                    EXPECT_EQ(result.message, "The changes have been written, but the system "
                                              "reported an error while making them permanent: " +
                                                  reason + ".");
                else if (n < firstFileOps)
                    EXPECT_EQ(result.message, "Unable to write CREATURE.TXT: " + reason +
                                                  ". The game's files have not been changed.");
                else
                    EXPECT_EQ(result.message, "CREATURE.TXT has been updated, but DD1CREAT.TXT "
                                              "could not be written: " +
                                                  reason + ". DD1CREAT.TXT has not been changed.");
                EXPECT_EQ(result.outcome, op == Op::Sync     ? ApplyOutcome::Unconfirmed
                                          : n < firstFileOps ? ApplyOutcome::Failed
                                                             : ApplyOutcome::AddonFailed);
            });
    }
}

// The locate dialog's find: clearing the game file's read-only flag, then Tavrel.cfg.
TEST_F(FaultWalk, LocateTellsWhatFailedAndChangesNothingItShouldNot) {
    const ValueSet gameValues = test::variedValues(12);
    const ValueSet before = test::variedValues(13);
    test::TempDir game;
    test::TempDir work;
    const std::string cfg = work.file("Tavrel.cfg");
    const std::string oldLine = "INSTALL_PATH=/where/it/was\r\n";
    auto prepare = [&] {
        test::makeGameFolder(game.path(), renderGameFile(gameValues));
        test::writeBytes(cfg, oldLine);
    };
    prepare();
    const auto gameBefore = snapshot(game.path());
    SettingsStore probe;
    const std::vector<Op> ops = operationsOf([&] {
        EditorState state;
        ASSERT_TRUE(locateGame(game.path(), probe, state, cfg).load.gameFound);
    });
    const ValueSet read = probe.values();
    ASSERT_EQ(ops.front(), Op::Chmod);
    // Last, after the read, the Data folder is asked to take a new file.
    const int folderProbe = static_cast<int>(ops.size());
    ASSERT_EQ(ops.back(), Op::Create);

    SettingsStore store;
    std::uint64_t revision = 0;
    walk(
        ops,
        [&] {
            prepare();
            store.assign(before);
            revision = store.revision();
        },
        [&] {
            EditorState state;
            return locateGame(game.path(), store, state, cfg);
        },
        [&](int n, Op op, const Failure& failure, const LocateOutcome& outcome) {
            // The game's files are only ever read by a find.
            EXPECT_EQ(snapshot(game.path()), gameBefore);
            const bool probed = n == folderProbe;
            const bool cfgReplaced = op == Op::Sync || probed;
            EXPECT_EQ(snapshot(work.path()),
                      (std::map<std::string, std::string>{
                          {"Tavrel.cfg", cfgReplaced ? configContent(game.path()) : oldLine}}));

            if (n == 1) {
                EXPECT_EQ(outcome.load.message, failure.locateMessage);
                EXPECT_FALSE(outcome.configMessage);
            } else if (probed) {
                EXPECT_EQ(outcome.load.message,
                          "Changes cannot be applied to this game: the editor cannot create files "
                          "in the folder " +
                              fileio::joinPath(game.path(), "Data") + " (" + failure.reason +
                              "). You can still view the values and save them in a settings file.");
                EXPECT_FALSE(outcome.configMessage);
            } else if (op == Op::Sync && !failure.countsAtFolderSync) {
                EXPECT_FALSE(outcome.configMessage);
            } else {
                EXPECT_EQ(outcome.configMessage, failure.configMessage);
            }
            // Only a refused Tavrel.cfg lets the find read the game; every other failure leaves the
            // tables exactly as they were.
            const bool gameRead =
                probed || (n > 1 && (failure.number == err::PathFileAccess ||
                                     (op == Op::Sync && !failure.countsAtFolderSync)));
            EXPECT_EQ(outcome.load.gameFound, gameRead);
            EXPECT_EQ(outcome.hideDialog, gameRead);
            EXPECT_EQ(store.values(), gameRead ? read : before);
            if (!gameRead) {
                EXPECT_EQ(store.revision(), revision);
            }
        });
}

} // namespace
} // namespace tavrel
