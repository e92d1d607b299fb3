#include "core/errors.h"

#include <cerrno>

namespace tavrel {

int errorNumberFromErrno(int code) {
    // The messages were written for the classic run-time numbers, so every platform
    // error is folded into the nearest one; whatever has no counterpart becomes an
    // internal error, which the message tables show as an unknown error with its number.
    switch (code) {
    case ENOENT:
        return err::FileNotFound;
    case ENOTDIR:
        return err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
    case EISDIR:
        return err::PathFileAccess;
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return err::DiskFull;
    case ENXIO:
    case ENODEV:
#ifdef ENOMEDIUM
    case ENOMEDIUM:
#endif
        return err::DeviceUnavailable;
    case ENAMETOOLONG:
    case EILSEQ:
    case EINVAL:
        return err::BadFileName;
    case EIO:
        return err::DeviceIO;
    case EMFILE:
    case ENFILE:
        return err::TooManyFiles;
    case ENOMEM:
        return err::OutOfMemory;
    case EEXIST:
        return err::FileAlreadyExists;
    case EOVERFLOW:
        return err::Overflow;
    default:
        return 51; // internal error
    }
}

int folderErrorNumber(int code) {
    return code == ENOENT ? err::PathNotFound : errorNumberFromErrno(code);
}

std::string unknownErrorMessage(int number) {
    // Str() reserves the sign position, so a non-negative number gets a blank there;
    // users quote these codes, and the text has always looked like this.
    std::string text = "This action has caused an unknown error. Error code: ";
    if (number >= 0) {
        text += ' ';
    }
    text += std::to_string(number);
    return text;
}

std::string unconfirmedMessage(std::string_view written, std::string_view reason) {
    return std::string(written) +
           " have been written, but the system reported an error while making them "
           "permanent: " +
           std::string(reason) + ".";
}

std::string folderNotWritableMessage(std::string_view folder, std::string_view reason) {
    return "Changes cannot be applied to this game: the editor cannot create files in the "
           "folder " +
           std::string(folder) + " (" + std::string(reason) +
           "). You can still view the values and save them in a settings file.";
}

std::string errorMessage(MessageTable table, int number) {
    switch (number) {
    case err::DeviceUnavailable:
        return msg::NoDisc;
    case err::PathNotFound:
        return msg::FolderNotFound;
    case err::PathFileAccess:
        switch (table) {
        case MessageTable::StartUp:
        case MessageTable::LocateDialog:
            // Here the only thing written to is the game location, and a location that
            // refuses writes is, in practice, the game's own read-only disc.
            return msg::DiscAsLocation;
        case MessageTable::Configuration:
            return msg::ConfigNotWritten;
        case MessageTable::SettingsFile:
            return msg::FileAccess;
        }
        break;
    case err::BadFileName:
        // Only the save and load dialogs take a name typed by the user.
        if (table == MessageTable::SettingsFile) {
            return msg::BadFileName;
        }
        break;
    default:
        break;
    }
    return unknownErrorMessage(number);
}

} // namespace tavrel
