#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

#include "core/fileio.h"
#include "core/settings_store.h"

namespace tavrel::test {

// A fresh folder under /tmp, removed with everything in it when the object dies.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

void writeBytes(const std::string& path, std::string_view bytes);
std::string readBytes(const std::string& path);
void makeFolders(const std::string& path);

// Writes `bytes` to a fresh file with exactly `mode`, whatever the umask.
void writeFile(const std::string& path, std::string_view bytes, mode_t mode);
// The permission bits of `path` (0 when it cannot be read).
mode_t modeOf(const std::string& path);
// Every name in the folder, hidden ones included, sorted.
std::vector<std::string> listFolder(const std::string& dir);

// Makes `<root>/Data/CREATURE.TXT` with `content` (and the add-on copy on request).
void makeGameFolder(const std::string& root, std::string_view content, bool withAddon = false);

// Hex digest printed by coreutils' md5sum or sha256sum.
std::string digest(std::string_view tool, std::string_view bytes);

// The step an IoError names when the file layer's operation `op` fails.
std::string expectedStep(fileio::testing::Op op);

// Runs `body` in a forked child (POSIX only) and returns the status it exits with, -1 when
// it does not exit: for tests that change process-wide state or act as another user.
int exitStatusInChild(const std::function<int()>& body);

// Makes `root` a KeeperFX install with the editor's own writer: the factory values, as the
// [after_base] mod "base" over near-empty default files, and a few hand-written lines of
// KeeperFX's own that the editor does not own (Wizard properties and a job, research items,
// a spell linked to a keeper power, a tenth Power value).
void makeKeeperFxInstall(const std::string& root);

// Adds to a KeeperFX test install two campaigns and a map pack, each with a name of its own:
// alpha ("Alpha Rising") sets the first three of power5's Power list in its configs folder
// campgns/alpha_cfgs, which twin ("Alpha Twin") shares; beta ("Beta Deep") sets the
// Wizard's Properties and Health in its creatures folder and once more in the map file of
// its level 3; the map pack gamma ("Gamma Pack") has no rule folder. Two files that
// KeeperFX does not offer stand beside them.
void addKeeperFxCampaigns(const std::string& root);

// A set of varied, non-negative values that differ from the factory ones.
ValueSet variedValues(unsigned seed);

} // namespace tavrel::test
