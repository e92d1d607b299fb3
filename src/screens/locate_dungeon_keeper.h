#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "gamefile/game_finder.h"
#include "gamefile/startup.h"
#include "screens/app_context.h"

namespace tavrel::screens {

class DirList;
class DriveList;

// "Where is Dungeon Keeper installed?": the user browses to the game's folder; every
// folder the list opens is tested for the game. The games found in the usual places
// are offered above the browser; the user chooses, the dialog never does.
class Form_LocateDungeonKeeper : public QDialog {
    Q_OBJECT
public:
    // What the main window does with a read of the game: the ready state or the
    // reader's message.
    using LoadReport = std::function<void(const GameLoadOutcome&)>;
    // Asked when a viewed folder holds a game: whether a game is read already, and
    // then whether the user lets the new one replace it. None: no game is read.
    enum class Replace { NoGameRead, Allowed, Refused };
    using ReplaceCheck = std::function<Replace()>;

    Form_LocateDungeonKeeper(AppContext& context, std::string configPath, LoadReport report,
                             ReplaceCheck replace = {}, const std::vector<FoundGame>& found = {},
                             QWidget* parent = nullptr);

    DriveList* driveList() const { return drive_; }
    DirList* dirList() const { return dir_; }

private:
    void chooseDrive(const QString& root);
    // Opens a found folder in the folder list, which runs the find as for any folder.
    void chooseFound(const QString& folder);
    void find(const QString& folder);

    AppContext& context_;
    std::string configPath_;
    LoadReport report_;
    ReplaceCheck replace_;
    DriveList* drive_;
    DirList* dir_;
};

} // namespace tavrel::screens
