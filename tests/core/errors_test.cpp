#include "core/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

using tavrel::errorMessage;
using tavrel::errorNumberFromErrno;
using tavrel::folderErrorNumber;
using tavrel::MessageTable;

struct ErrnoCase {
    int code;
    const char* name;
    int number;
};

TEST(FolderErrorNumber, AMissingFolderIsAMissingPath) {
    EXPECT_EQ(folderErrorNumber(ENOENT), 76);
    EXPECT_EQ(folderErrorNumber(ENOTDIR), 76);
    EXPECT_EQ(folderErrorNumber(EACCES), 75);
    EXPECT_EQ(folderErrorNumber(ENXIO), 68);
}

TEST(ErrorNumberFromErrno, MapsEachPlatformErrorToItsRunTimeNumber) {
    const std::vector<ErrnoCase> cases = {
        {ENOENT, "ENOENT", 53},
        {ENOTDIR, "ENOTDIR", 76},
        {EACCES, "EACCES", 75},
        {EPERM, "EPERM", 75},
        {EROFS, "EROFS", 75},
        {EBUSY, "EBUSY", 75},
        {ETXTBSY, "ETXTBSY", 75},
        {EISDIR, "EISDIR", 75},
        {ENOSPC, "ENOSPC", 61},
        {EFBIG, "EFBIG", 61},
#ifdef EDQUOT
        {EDQUOT, "EDQUOT", 61},
#endif
        {ENXIO, "ENXIO", 68},
        {ENODEV, "ENODEV", 68},
#ifdef ENOMEDIUM
        {ENOMEDIUM, "ENOMEDIUM", 68},
#endif
        {ENAMETOOLONG, "ENAMETOOLONG", 52},
        {EILSEQ, "EILSEQ", 52},
        {EINVAL, "EINVAL", 52},
        {EIO, "EIO", 57},
        {EMFILE, "EMFILE", 67},
        {ENFILE, "ENFILE", 67},
        {ENOMEM, "ENOMEM", 7},
        {EEXIST, "EEXIST", 58},
        {EOVERFLOW, "EOVERFLOW", 6},
        // Anything without a counterpart is an internal error.
        {0, "no error", 51},
        {EAGAIN, "EAGAIN", 51},
        {ELOOP, "ELOOP", 51},
        {EXDEV, "EXDEV", 51},
        {EINTR, "EINTR", 51},
        {-1, "negative", 51},
        {99999, "out of range", 51},
    };
    for (const ErrnoCase& c : cases) {
        EXPECT_EQ(errorNumberFromErrno(c.code), c.number) << c.name;
    }
}

TEST(ErrorMessage, ChoosesTheTextByPlaceAndNumber) {
    const std::string noDisc = "There is no disc in the drive or the device is unavailable.";
    const std::string noFolder = "The folder can't be found.";
    const std::string disc = "You can't use the Dungeon Keeper disc as the game location.";
    const struct {
        MessageTable table;
        std::string text52, text68, text75, text76;
    } tables[] = {
        {MessageTable::StartUp, "", noDisc, disc, noFolder},
        {MessageTable::LocateDialog, "", noDisc, disc, noFolder},
        {MessageTable::Configuration, "", noDisc,
         "Unable to write Tavrel.cfg. You may need to copy the editor to another disc.", noFolder},
        {MessageTable::SettingsFile,
         "A file name cannot contain any of the following characters: \\ / : * ? \" < > |", noDisc,
         "Unable to access file.", noFolder},
    };
    for (const auto& t : tables) {
        const auto table = static_cast<int>(t.table);
        EXPECT_EQ(errorMessage(t.table, 52),
                  t.text52.empty() ? "This action has caused an unknown error. Error code:  52"
                                   : t.text52)
            << table;
        EXPECT_EQ(errorMessage(t.table, 68), t.text68) << table;
        EXPECT_EQ(errorMessage(t.table, 75), t.text75) << table;
        EXPECT_EQ(errorMessage(t.table, 76), t.text76) << table;
        EXPECT_EQ(errorMessage(t.table, 62),
                  "This action has caused an unknown error. Error code:  62")
            << table;
        EXPECT_EQ(errorMessage(t.table, 0),
                  "This action has caused an unknown error. Error code:  0")
            << table;
        EXPECT_EQ(errorMessage(t.table, -7),
                  "This action has caused an unknown error. Error code: -7")
            << table;
    }
}

} // namespace
