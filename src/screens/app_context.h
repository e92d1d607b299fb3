#pragma once

#include <QDialog>
#include <QKeySequence>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "core/editor_state.h"
#include "core/settings_store.h"
#include "editing/history.h"
#include "editing/value_origins.h"

class QAction;
class QMessageBox;
class QRadioButton;

namespace tavrel::screens {

// The product name: the main window's title and the title of every plain message box.
inline const QString kProductName = QStringLiteral("Tavrel");

// Every message box and question goes through this seam so that tests can answer
// them; a test never meets a real modal box.
// A question answered with one of several choices, each shown as an option button
// above Yes and No; the question's text follows the choice. A help text stands beside it.
struct ChoiceQuestion {
    QString title;
    QString prompt; // above the choices
    QStringList choices;
    int preferred = 0;                   // the choice made when the box opens
    std::function<QString(int)> textFor; // the question for a choice
    QString help;
};

class MessageSeam {
public:
    virtual ~MessageSeam() = default;
    // A message box with an OK button, titled with the product name.
    virtual void inform(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No and no icon; true only for Yes.
    virtual bool ask(QWidget* parent, const QString& text, const QString& title) = 0;
    // A question with the given answers, the first one the default; the index of
    // the answer chosen, or -1 when the box was closed without one.
    virtual int choose(QWidget* parent, const QString& text, const QString& title,
                       const QStringList& answers) = 0;
    // The choice answered with Yes, or -1 for No or the box closed.
    virtual int askChoice(QWidget* parent, const ChoiceQuestion& question) = 0;
};

// A question box, not yet shown: Yes and No, with No the default button so that a
// stray Enter changes nothing.
std::unique_ptr<QMessageBox> questionBox(QWidget* parent, const QString& text,
                                         const QString& title);

// The real boxes.
class QtMessageSeam final : public MessageSeam {
public:
    void inform(QWidget* parent, const QString& text) override;
    bool ask(QWidget* parent, const QString& text, const QString& title) override;
    int choose(QWidget* parent, const QString& text, const QString& title,
               const QStringList& answers) override;
    int askChoice(QWidget* parent, const ChoiceQuestion& question) override;
};

// The box of askChoice, not yet shown: the prompt, option buttons Option_Choice(1), (2), ... over
// the question Label_Question, the help Label_Help beside them, Yes and No with No the default.
class ChoiceQuestionBox : public QDialog {
    Q_OBJECT
public:
    ChoiceQuestionBox(QWidget* parent, const ChoiceQuestion& question);
    int choice() const;

private:
    QList<QRadioButton*> options_;
};

// The keys that redo: the platform's own and the two that users of either desktop
// family expect (Ctrl+Shift+Z, Ctrl+Y).
QList<QKeySequence> redoKeys();

// The windows that show values, in the order in which they are redrawn after every
// value changed at once (restore, settings file load).
enum class RefreshOrder {
    CreatureSettings = 1,
    Room,
    Magic,
    Research,
    TrapDoor,
    Ability,
    Misc,
    InputValue,
    AbilityPicker,
};

// What the windows share: the one store, the editor state, the message seam, the
// undo history, the open windows, and the redraw hooks of whatever shows values.
class AppContext {
public:
    AppContext(SettingsStore& store, EditorState& state, MessageSeam& messages);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    SettingsStore& store;
    EditorState& state;
    MessageSeam& messages;
    // Fed by the store's change hook with every change, whichever window made it.
    History history;

    // `changed` runs after every change of a value while `owner` exists.
    void watchChanges(QObject* owner, std::function<void()> changed);

    // Undo or redo of the last step: every window redrawn in the fixed order, and
    // the status line says what was undone or redone. Returns what it said; empty
    // when there was nothing to play.
    QString undo();
    QString redo();
    // An Undo and a Redo command named after the steps they would play, and enabled
    // only when there is one.
    void showHistoryOn(QAction* undo, QAction* redo) const;
    // Ctrl+Z and Ctrl+Shift+Z / Ctrl+Y (the platform's undo and redo keys) in a window
    // that has no Undo command of its own.
    void addHistoryShortcuts(QWidget* window);

    // Opens the window whose objectName is `name`: creates it with `make` when none
    // is open, shows it modeless and brings it forward. Never a second copy.
    QWidget* openWindow(const QString& name, const std::function<QWidget*()>& make);
    // The open window called `name`, or null.
    QWidget* window(const QString& name) const;

    // A window that shows values installs its redraw here while it exists.
    void setRefresher(RefreshOrder order, std::function<void()> refresh);
    void clearRefresher(RefreshOrder order);
    // Redraw of one window, when it exists.
    void refresh(RefreshOrder order) const;
    // Every redraw, in the fixed order.
    void refreshAll() const;

    // Where each value of the last KeeperFX read comes from. Set by that read before it
    // fills the tables; forgotten by anything else that fills them. Both tell every
    // window that shows values.
    const ValueOrigins& origins() const { return origins_; }
    void setOrigins(ValueOrigins origins);
    void clearOrigins();

    // The main window's status line: shows a text and restarts its timer.
    std::function<void(const QString&)> showStatus = [](const QString&) {};

private:
    void changed();
    QString play(bool forward);

    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> watchers_;
    std::map<QString, QPointer<QWidget>> windows_;
    std::map<RefreshOrder, std::function<void()>> refreshers_;
    ValueOrigins origins_;
};

} // namespace tavrel::screens
