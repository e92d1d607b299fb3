#pragma once

#include <QString>
#include <QWidget>

#include <string>
#include <utility>

#include "gamefile/game_finder.h"
#include "gamefile/startup.h"
#include "screens/app_context.h"

class QAction;
class QLabel;
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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showReady(const GameLoadOutcome& outcome);
    // Apply Changes; `confirm` asks first. True when every file was written.
    bool apply(bool confirm = true);
    bool confirmApply();
    // Asked before closing while values differ from every file: true to close.
    bool closeWithChanges();
    void showHistory();
    // The KeeperFX menu: its commands work only on a game folder that holds KeeperFX.
    void enableKeeperFx(bool found, const std::string& installPath);
    void readKeeperFx();
    bool applyKeeperFx();
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
    QList<QPushButton*> gameCommands_; // enabled once the game is found
};

} // namespace tavrel::screens
