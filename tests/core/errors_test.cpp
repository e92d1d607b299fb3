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

TEST(ErrorNumberFromErrno, MapsEachPlatformErrorToItsRunTimeNumber) {
    // Anything without a counterpart (0, EAGAIN, ELOOP, EXDEV, EINTR, -1, 99999) is internal: 51.
    const std::vector<std::pair<int, int>> cases = {
        {ENOENT, 53},       {ENOTDIR, 76}, {EACCES, 75}, {EPERM, 75},  {EROFS, 75},
        {EBUSY, 75},        {ETXTBSY, 75}, {EISDIR, 75}, {ENOSPC, 61}, {EFBIG, 61},
        {ENXIO, 68},        {ENODEV, 68},  {EIO, 57},    {EMFILE, 67}, {ENFILE, 67},
        {ENAMETOOLONG, 52}, {EILSEQ, 52},  {EINVAL, 52}, {ENOMEM, 7},  {EEXIST, 58},
        {EOVERFLOW, 6},     {0, 51},       {EAGAIN, 51}, {ELOOP, 51},  {EXDEV, 51},
        {EINTR, 51},        {-1, 51},      {99999, 51},
#ifdef EDQUOT
        {EDQUOT, 61},
#endif
#ifdef ENOMEDIUM
        {ENOMEDIUM, 68},
#endif
    };
    for (const auto& [code, number] : cases)
        EXPECT_EQ(errorNumberFromErrno(code), number) << code;
    // A missing folder is a missing path.
    for (const auto& [code, number] : {std::pair{ENOENT, 76}, {ENOTDIR, 76}, {EACCES, 75}})
        EXPECT_EQ(folderErrorNumber(code), number) << code;
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
