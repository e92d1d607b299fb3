#pragma once

#include <QString>
#include <QWidget>

#include <optional>
#include <string>
#include <utility>

#include "gamefile/game_finder.h"
#include "gamefile/startup.h"
#include "screens/app_context.h"
#include "screens/locate_dungeon_keeper.h"
#include "screens/messages.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QTimer;

namespace tavrel::screens {

// The main menu: the status line, every command, and the game's location. Closing it
// ends the program.
class Main : public QWidget {
    Q_OBJECT
public:
    // `configPath` is the editor's configuration file, Tavrel.cfg in the working folder.
    explicit Main(AppContext& context, std::string configPath = "Tavrel.cfg",
                  QWidget* parent = nullptr);
    ~Main() override;

    // The window's load: runs the start-up sequence and shows what it found.
    void load();

    // Loads the settings file `path` named on the command line, as Load Settings does,
    // once load() has read the game; without a game it tells the user why not.
    void openSettingsFile(const QString& path);

    // Where the locate dialog looks for games to offer: the running system's usual
    // install places unless told otherwise.
    void setFinderEnvironment(FinderEnvironment environment) {
        finderEnvironment_ = std::move(environment);
    }

    // Shows a status text for one full interval of Timer_Main, then the welcome text.
    void showStatus(const QString& text);

    // Shows a read of the game: the ready state when it was found, and the one
    // message when there is one.
    void showLoadOutcome(const GameLoadOutcome& outcome);

    // The welcome text, which the status line returns to.
    static QString welcomeText();

    // Every status text of this run, oldest first.
    const QList<StatusMessage>& statusMessages() const { return statusMessages_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showReady(const GameLoadOutcome& outcome);
    // Apply Changes; `confirm` asks first. True when every file was written.
    bool apply(bool confirm = true);
    bool confirmApply();
    // Asked before `action` replaces values that no file holds: Apply them first,
    // Discard them or Cancel. True when the action may go on.
    bool settleChanges(const char* action);
    void changeGameFolder();
    Form_LocateDungeonKeeper::Replace mayReplaceGame();
    void openMessages();
    void showHistory();
    // The KeeperFX menu: its commands work only on a game folder that holds KeeperFX.
    void enableKeeperFx(bool found, const std::string& installPath);
    void readKeeperFx();
    bool applyKeeperFx();
    // The games of the folder KeeperFX can be read as, in the menu Menu_KeeperFxGame:
    // free play, then each campaign and map pack. A remembered choice that is gone
    // falls back to free play.
    void listGames();
    void chooseGame(const std::string& name);
    // Read's tool tip names the game it reads.
    void showGame(const QString& game);
    QMenuBar* menuBar();
    void restore();
    void openLocate();
    void openPending(const QString& name, const QString& title);
    void closeOtherWindows(bool now);

    AppContext& context_;
    std::string configPath_;
    FinderEnvironment finderEnvironment_ = runningFinderEnvironment();
    QTimer* timer_;
    QLabel* welcome_;
    QLabel* location_;
    QPushButton* locate_;
    QAction* undo_;
    QAction* redo_;
    QAction* readKeeperFx_;
    QAction* applyKeeperFx_;
    QMenu* games_;
    QActionGroup* gameGroup_;
    std::string gameChoicePath_;
    std::string game_; // the campaign or map pack read as; empty: free play
    QAction* compare_;
    QList<StatusMessage> statusMessages_;
    bool gameRead_ = false;
    // The values last discarded in answer to settleChanges.
    std::optional<ValueSet> discarded_;
    QList<QPushButton*> gameCommands_; // enabled once the game is found
};

} // namespace tavrel::screens
