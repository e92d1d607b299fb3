#include "core/fileio.h"

#include "core/errors.h"
#include "core/fileio_internal.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <random>
#include <utility>

namespace tavrel::fileio {

namespace testing {
namespace {
std::optional<FaultPlan> faultPlan;
int counted = 0;
std::vector<Op> recorded;
// Enough for any test; keeps a long editing session from growing the record forever.
constexpr std::size_t RecordLimit = 4096;
} // namespace

void setFaultPlan(std::optional<FaultPlan> plan) {
    faultPlan = plan;
    counted = 0;
    recorded.clear();
}

int operationCount() {
    return counted;
}

std::vector<Op> operations() {
    return recorded;
}
} // namespace testing

namespace detail {

using testing::Op;

// Counts one operation; returns the error a test wants it to fail with, or 0 to let it
// run for real.
int faultFor(Op op) {
    ++testing::counted;
    if (testing::recorded.size() < testing::RecordLimit) {
        testing::recorded.push_back(op);
    }
    if (testing::faultPlan && testing::faultPlan->failAt == testing::counted) {
        return testing::faultPlan->error;
    }
    return 0;
}

// Only an ASCII fold: the game's own names are ASCII, and folding other letters would
// depend on a locale the file system knows nothing about.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
        };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// A hidden name beside the target, so a crash leaves something recognisable and the
// rename stays within one folder (and so one file system).
std::string temporaryPrefix(std::string_view name) {
    constexpr std::string_view tag = ".tavrel-";
    // Cut a very long name so the temporary one still fits, without splitting a UTF-8
    // sequence (Windows would refuse the conversion).
    std::size_t keep = std::min(name.size(), MaxNameLength - 1 - tag.size() - TemporarySuffix);
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    std::string result = ".";
    result += name.substr(0, keep);
    result += tag;
    return result;
}

static constexpr std::string_view TemporaryAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string temporaryName(std::string_view name) {
    static std::mt19937_64 random = [] {
        std::seed_seq seed{
            static_cast<unsigned>(std::random_device{}()),
            static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() &
                                  0xffffffffu)};
        return std::mt19937_64(seed);
    }();
    std::string result = temporaryPrefix(name);
    std::uniform_int_distribution<std::size_t> pick(0, TemporaryAlphabet.size() - 1);
    for (std::size_t i = 0; i < TemporarySuffix; ++i) {
        result += TemporaryAlphabet[pick(random)];
    }
    return result;
}

// The system takes a path as a C string, which ends at the first NUL byte: a name with
// one inside would silently reach another file (a Tavrel.cfg line naming "<some
// file>\0" would have that file's permissions changed and its content read as the
// game's). No file has such a name, so it is refused as a bad one.
bool hasNul(std::string_view path) {
    return path.find('\0') != std::string_view::npos;
}

static bool parentFolderExists(const std::string& path) {
    std::error_code ec;
    const auto parent = pathOf(path).parent_path();
    return parent.empty() || std::filesystem::is_directory(parent, ec);
}

[[maybe_unused]] static const char* strerrorText(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr; // XSI strerror_r
}
[[maybe_unused]] static const char* strerrorText(const char* result, const char*) {
    return result; // GNU strerror_r
}

} // namespace detail

using namespace detail;

// The first is the one joinPath writes.
#ifdef _WIN32
static constexpr std::string_view Separators = "\\/";
#else
static constexpr std::string_view Separators = "/";
#endif

int IoError::number() const {
    // A missing file and a missing folder share one errno but not one message: the
    // folder's is the one that tells the user what to fix.
    if (code == ENOENT && (step == "create" || !parentFolderExists(path))) {
        return err::PathNotFound;
    }
    return errorNumberFromErrno(code);
}

std::string IoError::reason() const {
    if (!why.empty()) {
        return std::string(why);
    }
    char buffer[256] = {};
#ifdef _WIN32
    if (strerror_s(buffer, sizeof buffer, code) == 0) {
        return buffer;
    }
#else
    if (const char* text = strerrorText(strerror_r(code, buffer, sizeof buffer), buffer)) {
        return text;
    }
#endif
    return "Error " + std::to_string(code);
}

std::string IoError::message(MessageTable table) const {
    if (why.empty()) {
        return errorMessage(table, number());
    }
    const std::size_t separator = path.find_last_of(Separators);
    const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    return "Unable to use " + name + ": " + std::string(why) + ".";
}

bool IoError::tooLarge() const {
    return code == EFBIG && step == "read";
}

bool IoError::contentInPlace() const {
    return step == StepSyncFolder;
}

namespace {

// One counted folder step: the fault plan's error, or the system's.
Status folderStep(testing::Op op, const std::string& path, std::string_view step,
                  const std::function<void(std::error_code&)>& run) {
    if (hasNul(path))
        return IoError{EINVAL, path, std::string(step)};
    if (int injected = faultFor(op))
        return IoError{injected, path, std::string(step)};
    std::error_code ec;
    run(ec);
    if (ec)
        return IoError{ec.default_error_condition().value(), path, std::string(step)};
    return std::nullopt;
}

} // namespace

Status makeFolder(const std::string& path) {
    return folderStep(testing::Op::MakeFolder, path, "make folder", [&](std::error_code& ec) {
        if (!std::filesystem::create_directory(pathOf(path), ec) && !ec)
            ec = std::make_error_code(std::errc::file_exists);
    });
}

Status moveEntry(const std::string& from, const std::string& to) {
    if (hasNul(to))
        return IoError{EINVAL, to, "move"};
    Status failed = folderStep(testing::Op::MoveEntry, from, "move", [&](std::error_code& ec) {
        std::filesystem::rename(pathOf(from), pathOf(to), ec);
    });
    // As for a replaced file: Windows' "access denied" may mean that another program, such
    // as the running game, holds the folder or a file in it.
    if (failed && failed->code != ENOENT && heldOpenWithin(from)) {
        failed->code = EBUSY;
        failed->why = FolderInUse;
    }
    return failed;
}

Status removeFolder(const std::string& path) {
    return folderStep(testing::Op::RemoveFolder, path, "remove folder",
                      [&](std::error_code& ec) { std::filesystem::remove_all(pathOf(path), ec); });
}

void removeLeftovers(const std::string& folder, std::string_view name) {
    const std::string prefix = temporaryPrefix(name);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(pathOf(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::u8string found = it->path().filename().u8string();
        const std::string_view entry(reinterpret_cast<const char*>(found.data()), found.size());
        const std::string_view suffix =
            entry.starts_with(prefix) ? entry.substr(prefix.size()) : std::string_view();
        std::error_code kind;
        if (suffix.size() == TemporarySuffix &&
            suffix.find_first_not_of(TemporaryAlphabet) == std::string_view::npos &&
            it->symlink_status(kind).type() == std::filesystem::file_type::regular) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

std::string joinPath(std::string_view dir, std::string_view name) {
    std::string result(dir);
    if (!result.empty() && Separators.find(result.back()) == std::string_view::npos) {
        result += Separators.front();
    }
    result += name;
    return result;
}

std::filesystem::path pathOf(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(pathOf(path), error);
}

} // namespace tavrel::fileio
