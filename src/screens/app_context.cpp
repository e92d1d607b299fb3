#include "screens/app_context.h"

#include <algorithm>

#include <QAction>
#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "screens/slot_captions.h"
#include "screens/widgets/fit_window.h"

namespace tavrel::screens {

void QtMessageSeam::inform(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kProductName, text, QMessageBox::Ok, parent);
    box.exec();
}

std::unique_ptr<QMessageBox> questionBox(QWidget* parent, const QString& text,
                                         const QString& title) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, title, text,
                                             QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    return box;
}

bool QtMessageSeam::ask(QWidget* parent, const QString& text, const QString& title) {
    return questionBox(parent, text, title)->exec() == QMessageBox::Yes;
}

int QtMessageSeam::choose(QWidget* parent, const QString& text, const QString& title,
                          const QStringList& answers) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> buttons;
    for (const QString& answer : answers)
        buttons << box.addButton(answer, buttons.isEmpty() ? QMessageBox::AcceptRole
                                                           : QMessageBox::ActionRole);
    if (!buttons.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.front()));
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

int QtMessageSeam::askChoice(QWidget* parent, const ChoiceQuestion& question) {
    ChoiceQuestionBox box(parent, question);
    return box.exec() == QDialog::Accepted ? box.choice() : -1;
}

ChoiceQuestionBox::ChoiceQuestionBox(QWidget* parent, const ChoiceQuestion& question)
    : QDialog(parent) {
    setObjectName(QStringLiteral("Form_ChoiceQuestion"));
    setWindowTitle(question.title);
    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("Label_Question"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const int em = text->fontMetrics().horizontalAdvance(QLatin1Char('x'));
    text->setMinimumWidth(em * 50);
    auto* left = new QVBoxLayout;
    if (!question.prompt.isEmpty())
        left->addWidget(new QLabel(question.prompt, this));
    for (int i = 0; i < question.choices.size(); ++i) {
        auto* option = new QRadioButton(question.choices[i], this);
        option->setObjectName(QStringLiteral("Option_Choice(%1)").arg(i + 1));
        options_ << option;
        left->addWidget(option);
        connect(option, &QRadioButton::toggled, this, [text, question, i](bool on) {
            if (on)
                text->setText(question.textFor(i));
        });
    }
    left->addSpacing(em);
    left->addWidget(text);
    left->addStretch(1);
    auto* help = new QLabel(question.help, this);
    help->setObjectName(QStringLiteral("Label_Help"));
    help->setWordWrap(true);
    help->setFrameShape(QFrame::StyledPanel);
    help->setMargin(em);
    help->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    help->setMinimumWidth(em * 40);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addWidget(help, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No, this);
    // A stray Enter changes nothing.
    buttons->button(QDialogButtonBox::Yes)->setAutoDefault(false);
    buttons->button(QDialogButtonBox::No)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
    if (!options_.isEmpty())
        options_.at(std::clamp<int>(question.preferred, 0, int(options_.size()) - 1))
            ->setChecked(true);
}

int ChoiceQuestionBox::choice() const {
    for (int i = 0; i < options_.size(); ++i)
        if (options_[i]->isChecked())
            return i;
    return -1;
}

QList<QKeySequence> redoKeys() {
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence& extra :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)})
        if (!keys.contains(extra))
            keys << extra;
    return keys;
}

AppContext::AppContext(SettingsStore& store, EditorState& state, MessageSeam& messages)
    : store(store), state(state), messages(messages) {
    // Until the game is read there is nothing to lose.
    history.markFile(FileEvent::Read, store.values());
    store.setChangeHook([this](const std::vector<SlotChange>& changes, std::string_view what) {
        history.record(changes, what);
        changed();
    });
}

AppContext::~AppContext() {
    store.setChangeHook({});
}

void AppContext::setOrigins(ValueOrigins origins) {
    origins_ = std::move(origins);
    changed();
}

void AppContext::clearOrigins() {
    if (!origins_.known() && origins_.readAs().empty())
        return;
    origins_.clear();
    changed();
}

void AppContext::watchChanges(QObject* owner, std::function<void()> changed) {
    watchers_.emplace_back(owner, std::move(changed));
}

void AppContext::changed() {
    std::erase_if(watchers_, [](const auto& watcher) { return watcher.first.isNull(); });
    // Copy first: a watcher may add another.
    const auto watchers = watchers_;
    for (const auto& [owner, watcher] : watchers)
        if (owner)
            watcher();
}

QString AppContext::undo() {
    return play(false);
}

QString AppContext::redo() {
    return play(true);
}

QString AppContext::play(bool forward) {
    const HistoryStep* step = forward ? history.redo(store) : history.undo(store);
    if (!step)
        return {};
    const QString said =
        (forward ? QStringLiteral("Redone: ") : QStringLiteral("Undone: ")) + describeStep(*step);
    refreshAll();
    showStatus(said);
    return said;
}

void AppContext::showHistoryOn(QAction* undo, QAction* redo) const {
    const HistoryStep* toUndo = history.nextUndo();
    const HistoryStep* toRedo = history.nextRedo();
    undo->setText(toUndo ? QStringLiteral("&Undo ") + describeStep(*toUndo)
                         : QStringLiteral("&Undo"));
    redo->setText(toRedo ? QStringLiteral("&Redo ") + describeStep(*toRedo)
                         : QStringLiteral("&Redo"));
    undo->setEnabled(toUndo != nullptr);
    redo->setEnabled(toRedo != nullptr);
}

void AppContext::addHistoryShortcuts(QWidget* window) {
    // A second action on the same keys would make both of them ambiguous, and dead.
    if (window->findChild<QAction*>(QStringLiteral("Action_Undo")))
        return;
    auto* undoAction = new QAction(window);
    undoAction->setShortcuts(QKeySequence::Undo);
    auto* redoAction = new QAction(window);
    redoAction->setShortcuts(redoKeys());
    for (QAction* action : {undoAction, redoAction}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }
    QObject::connect(undoAction, &QAction::triggered, window, [this] { undo(); });
    QObject::connect(redoAction, &QAction::triggered, window, [this] { redo(); });
}

QWidget* AppContext::openWindow(const QString& name, const std::function<QWidget*()>& make) {
    QPointer<QWidget>& slot = windows_[name];
    if (!slot) {
        slot = make();
        slot->setObjectName(name);
        slot->setAttribute(Qt::WA_DeleteOnClose);
        addHistoryShortcuts(slot);
        placeOnScreen(slot);
    }
    slot->show();
    if (slot->isMinimized())
        slot->showNormal();
    slot->raise();
    slot->activateWindow();
    return slot;
}

QWidget* AppContext::window(const QString& name) const {
    const auto found = windows_.find(name);
    return found == windows_.end() ? nullptr : found->second.data();
}

void AppContext::setRefresher(RefreshOrder order, std::function<void()> refresh) {
    refreshers_[order] = std::move(refresh);
}

void AppContext::clearRefresher(RefreshOrder order) {
    refreshers_.erase(order);
}

void AppContext::refresh(RefreshOrder order) const {
    const auto found = refreshers_.find(order);
    if (found != refreshers_.end() && found->second)
        found->second();
}

void AppContext::refreshAll() const {
    // Copy first: a redraw may create or close a window and so change the map.
    const auto hooks = refreshers_;
    for (const auto& [order, hook] : hooks)
        if (hook)
            hook();
}

} // namespace tavrel::screens
