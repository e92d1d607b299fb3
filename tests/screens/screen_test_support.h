#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/editor_state.h"
#include "core/settings_store.h"
#include "core/test_support.h"
#include "screens/app_context.h"
#include "screens/main_window.h"
#include "screens/widgets/value_row.h"

namespace tavrel::test {

// Records every message and question and answers questions from a queue (No when
// the queue is empty), so no test ever blocks on a modal box.
class RecordingSeam final : public screens::MessageSeam {
public:
    struct Shown {
        QString text;
        QString title; // empty for a plain message
    };
    void inform(QWidget* parent, const QString& text) override;
    bool ask(QWidget* parent, const QString& text, const QString& title) override;
    // Answers with the index queued in `choices`, -1 (box closed) when it is empty.
    int choose(QWidget* parent, const QString& text, const QString& title,
               const QStringList& answers) override;
    // Answers from `choices` too (-1: No); shows the text of the choice answered, or of
    // the preferred one for No.
    int askChoice(QWidget* parent, const screens::ChoiceQuestion& question) override;

    // A question with choices as it was asked: every choice's text taken then.
    struct AskedChoice {
        QStringList choices;
        int preferred = 0;
        QStringList texts;
        QString help;
    };
    std::vector<AskedChoice> asked;
    std::vector<Shown> shown;
    std::deque<bool> answers;
    std::deque<int> choices;
};

// A store, editor state, recording seam and context, fresh for each test. The windows
// refer to this context, so every window is closed and deleted with the fixture.
struct ScreenFixture {
    SettingsStore store;
    EditorState state;
    RecordingSeam seam;
    screens::AppContext context{store, state, seam};
    ~ScreenFixture();
};

// Closes every top-level window and deletes those that delete on close.
void closeAllWindows();

// The child widget called `name` (objectName), failing the test when missing.
QWidget* child(QWidget* parent, const QString& name);
QPushButton* button(QWidget* parent, const QString& name);
QString textOf(QWidget* parent, const QString& name); // of the QLabel called `name`
// The value-row label `kind(index)`, such as Label_Stat(2).
screens::PressLabel* rowLabel(QWidget* window, const char* kind, int index);

// A main window over a temporary working folder with a game folder "Keeper" in it.
struct MainHarness {
    ScreenFixture f;
    TempDir dir;
    std::string config = dir.file("Tavrel.cfg");
    std::string game = fileio::joinPath(dir.path(), "Keeper"); // as the system writes it
    std::string gameFile = game + "/Data/CREATURE.TXT";
    std::unique_ptr<screens::Main> main;
    // The computer the locate dialog looks for games on: an empty one unless a test
    // builds its tree.
    FinderEnvironment computer{false, {{"HOME", "/home/ann"}}, dir.file("computer")};

    void makeGame(bool withAddon = false, const std::string& content = {});
    void configureGame() { writeBytes(config, "INSTALL_PATH=" + game + "\r\n"); }
    void start();                            // shows the window and runs the start-up
    void startReady(bool withAddon = false); // with the game configured; clears `shown`
    QPushButton* button(const QString& name) const { return test::button(main.get(), name); }
    QString welcome() const { return textOf(main.get(), "Label_Welcome"); }
    QString location() const { return textOf(main.get(), "Label_Location"); }
    void click(const QString& name) const;
    void verifyReady() const;    // game commands on, locate off, "... found."
    void verifyNotFound() const; // game commands off, locate on, welcome text
};

} // namespace tavrel::test
