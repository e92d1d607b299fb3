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
using tavrel::unknownErrorMessage;

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

TEST(UnknownErrorMessage, WritesTheNumberWithASignPlaceLikeStr) {
    const std::string lead = "This action has caused an unknown error. Error code:";
    const std::vector<std::pair<int, std::string>> cases = {
        {62, lead + "  62"},       {0, lead + "  0"},  {51, lead + "  51"},
        {32767, lead + "  32767"}, {-5, lead + " -5"}, {-32768, lead + " -32768"},
    };
    for (const auto& [number, text] : cases) {
        EXPECT_EQ(unknownErrorMessage(number), text) << number;
    }
}

struct MessageCase {
    MessageTable table;
    const char* tableName;
    int number;
    std::string text; // empty: the unknown-error text for the number
};

TEST(ErrorMessage, ChoosesTheTextByTableAndNumber) {
    using namespace tavrel::msg;
    const MessageTable startUp = MessageTable::StartUp;
    const MessageTable locate = MessageTable::LocateDialog;
    const MessageTable config = MessageTable::Configuration;
    const MessageTable settings = MessageTable::SettingsFile;
    const std::vector<MessageCase> cases = {
        {startUp, "StartUp", 68, NoDisc},
        {startUp, "StartUp", 75, DiscAsLocation},
        {startUp, "StartUp", 76, FolderNotFound},
        {startUp, "StartUp", 52, ""},
        {startUp, "StartUp", 53, ""},
        {startUp, "StartUp", 61, ""},
        {startUp, "StartUp", 70, ""},
        {locate, "LocateDialog", 68, NoDisc},
        {locate, "LocateDialog", 75, DiscAsLocation},
        {locate, "LocateDialog", 76, FolderNotFound},
        {locate, "LocateDialog", 52, ""},
        {locate, "LocateDialog", 57, ""},
        {config, "Configuration", 68, NoDisc},
        {config, "Configuration", 75, ConfigNotWritten},
        {config, "Configuration", 76, FolderNotFound},
        {config, "Configuration", 52, ""},
        {config, "Configuration", 61, ""},
        {settings, "SettingsFile", 52, BadFileName},
        {settings, "SettingsFile", 68, NoDisc},
        {settings, "SettingsFile", 75, FileAccess},
        {settings, "SettingsFile", 76, FolderNotFound},
        {settings, "SettingsFile", 53, ""},
        {settings, "SettingsFile", 61, ""},
        {settings, "SettingsFile", 62, ""},
        {settings, "SettingsFile", 0, ""},
        {settings, "SettingsFile", -1, ""},
    };
    for (const MessageCase& c : cases) {
        const std::string expected = c.text.empty() ? unknownErrorMessage(c.number) : c.text;
        EXPECT_EQ(errorMessage(c.table, c.number), expected) << c.tableName << " " << c.number;
    }
}

TEST(ErrorMessage, UnknownNumbersQuoteTheNumberInEveryTable) {
    for (MessageTable table : {MessageTable::StartUp, MessageTable::LocateDialog,
                               MessageTable::Configuration, MessageTable::SettingsFile}) {
        EXPECT_EQ(errorMessage(table, 62),
                  "This action has caused an unknown error. Error code:  62");
        EXPECT_EQ(errorMessage(table, -7),
                  "This action has caused an unknown error. Error code: -7");
    }
}

} // namespace
