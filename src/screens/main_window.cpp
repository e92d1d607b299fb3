#include "screens/main_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include <map>

#include "editing/game_choice.h"
#include "gamefile/game_paths.h"
#include "gamefile/writer.h"
#include "keeperfx/campaigns.h"
#include "keeperfx/config_text.h"
#include "keeperfx/install.h"
#include "keeperfx/limits.h"
#include "screens/about.h"
#include "screens/changes.h"
#include "screens/creatures/compare_creatures.h"
#include "screens/creatures/creature_picker.h"
#include "screens/help.h"
#include "screens/load_settings.h"
#include "screens/save_settings.h"
#include "screens/slot_captions.h"
#include "screens/tables/settings_screens.h"
#include "screens/widgets/elided_label.h"
#include "screens/widgets/folder_lists.h"

namespace tavrel::screens {

namespace {

QString fromCore(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* command(const QString& name, const QString& caption, QWidget* frame) {
    auto* button = new QPushButton(caption, frame);
    button->setObjectName(name);
    // Room around the caption, as on a classic command button.
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(caption) + 40);
    return button;
}

// What the three scopes of Apply to KeeperFX do, beside its question.
constexpr const char* kScopeHelp =
    "Everywhere: free play and every campaign and map pack of this folder play each value "
    "you changed. Every value you did not change stays as each of them has it.\n\n"
    "Under the campaigns' rules: free play plays each value you changed; a campaign or map "
    "pack that sets a value itself keeps its own.\n\n"
    "Only one campaign or map pack: only what is played with its rule folders changes; the "
    "campaigns that share those folders share the change.\n\n"
    "In every scope, a map's own rule files still win for that map.";
// What becomes of the keeper powers' tenth level, which CREATURE.TXT lacks.
QString menuText(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The longest of the usual status texts, which fit on one line.
constexpr const char* kWidestStatus = "Defaults loaded. Remember to apply the changes.";

} // namespace

QString Main::welcomeText() {
    return QStringLiteral("Welcome to the unofficial Dungeon Keeper editor.");
}

Main::Main(AppContext& context, std::string configPath, QWidget* parent)
    : QWidget(parent), context_(context), configPath_(std::move(configPath)),
      gameChoicePath_(gameChoicePath(configPath_)), game_(readGameChoice(gameChoicePath_)) {
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(kProductName);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer_Main"));
    timer_->setSingleShot(true);
    timer_->setInterval(5000);
    // A coarse timer may be scheduled up to 5% late; the status text is promised for
    // one full interval, no more.
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, [this] { welcome_->setText(welcomeText()); });

    // The status line across the top.
    auto* statusFrame = new QGroupBox(this);
    statusFrame->setObjectName(QStringLiteral("Frame3"));
    welcome_ = new QLabel(welcomeText(), statusFrame);
    welcome_->setObjectName(QStringLiteral("Label_Welcome"));
    welcome_->setAlignment(Qt::AlignCenter);
    // A long text wraps onto more lines, and the window grows for them: it is shown
    // whole, never cut. The width stays that of the commands.
    welcome_->setWordWrap(true);
    QSizePolicy wrapping(QSizePolicy::Ignored, QSizePolicy::Preferred);
    wrapping.setHeightForWidth(true);
    welcome_->setSizePolicy(wrapping);
    const QFontMetrics metrics = welcome_->fontMetrics();
    welcome_->setMinimumWidth(
        std::max(metrics.horizontalAdvance(welcomeText()),
                 metrics.horizontalAdvance(QString::fromLatin1(kWidestStatus))) +
        16);
    welcome_->setToolTip(QStringLiteral("View > Messages lists every message of this run"));
    auto* statusLayout = new QVBoxLayout(statusFrame);
    statusLayout->addWidget(welcome_);

    // "Main Menu" on the left, top to bottom as the user reads it.
    auto* menu = new QGroupBox(QStringLiteral("Main Menu"), this);
    menu->setObjectName(QStringLiteral("Frame1"));
    auto* load = command(QStringLiteral("Cmd_Load"), QStringLiteral("Load Settings"), menu);
    auto* save = command(QStringLiteral("Cmd_Save"), QStringLiteral("Save Settings"), menu);
    auto* restore =
        command(QStringLiteral("Cmd_Restore"), QStringLiteral("Restore Defaults"), menu);
    auto* apply = command(QStringLiteral("Cmd_Apply"), QStringLiteral("Apply Changes"), menu);
    auto* help = command(QStringLiteral("Cmd_Help"), QStringLiteral("Help"), menu);
    auto* about = command(QStringLiteral("Cmd_About"), QStringLiteral("About"), menu);
    auto* exit = command(QStringLiteral("Cmd_Exit"), QStringLiteral("Exit"), menu);
    auto* menuLayout = new QVBoxLayout(menu);
    for (QPushButton* button : {load, save, restore, apply, help, about, exit})
        menuLayout->addWidget(button);

    // "Open" on the right: the seven settings screens.
    auto* open = new QGroupBox(QStringLiteral("Open"), this);
    open->setObjectName(QStringLiteral("Frame2"));
    const QStringList screens = {
        QStringLiteral("Creature Settings"),      QStringLiteral("Room Settings"),
        QStringLiteral("Magic Settings"),         QStringLiteral("Research Settings"),
        QStringLiteral("Trap and Door Settings"), QStringLiteral("Ability Settings"),
        QStringLiteral("Miscellaneous Settings"),
    };
    auto* openLayout = new QVBoxLayout(open);
    QList<QPushButton*> screenButtons;
    for (int i = 0; i < screens.size(); ++i) {
        screenButtons << command(QStringLiteral("Cmd_%1").arg(i + 1), screens[i], open);
        openLayout->addWidget(screenButtons.back());
    }

    // The location strip along the bottom.
    auto* locationFrame = new QGroupBox(QStringLiteral("Dungeon Keeper Location"), this);
    locationFrame->setObjectName(QStringLiteral("Frame4"));
    location_ = new ElidedLabel(locationFrame);
    location_->setObjectName(QStringLiteral("Label_Location"));
    // A long folder must not widen the window; the tool tip shows it whole.
    location_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    locate_ = command(QStringLiteral("Cmd_Locate"), QStringLiteral("..."), locationFrame);
    locate_->setMinimumWidth(0);
    locate_->setFixedWidth(locate_->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    auto* locationLayout = new QHBoxLayout(locationFrame);
    locationLayout->addWidget(location_, 1);
    locationLayout->addWidget(locate_);

    auto* columns = new QHBoxLayout;
    columns->addWidget(menu, 1);
    columns->addWidget(open, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar());
    layout->addWidget(statusFrame);
    layout->addLayout(columns);
    layout->addWidget(locationFrame);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const std::pair<QPushButton*, const char*> tips[] = {
        {load, "Load all values from a settings file (.dks)"},
        {save, "Save all values to a settings file (.dks)"},
        {restore, "Put back the game's factory value of every setting"},
        {apply, "Write the values into the game's CREATURE.TXT"},
        {help, "Tips on using the editor"},
        {about, "About the editor"},
        {exit, "Close the editor; values not applied or saved are lost"},
        {locate_, "Choose the folder where Dungeon Keeper is installed"}};
    for (const auto& [button, tip] : tips)
        button->setToolTip(QLatin1String(tip));
    for (QPushButton* button : screenButtons)
        button->setToolTip(QStringLiteral("Open the %1 screen").arg(button->text()));

    gameCommands_ = {load, save, restore, apply};
    gameCommands_ += screenButtons;
    for (QPushButton* button : gameCommands_)
        button->setEnabled(false);

    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    connect(about, &QPushButton::clicked, this, [this] {
        context_.openWindow(QStringLiteral("Form_About"), [] { return new Form_About; });
    });
    connect(help, &QPushButton::clicked, this, [this] {
        context_.openWindow(QStringLiteral("Form_Help"),
                            [this] { return new Form_Help(context_); });
    });
    connect(apply, &QPushButton::clicked, this, [this] { this->apply(); });
    connect(restore, &QPushButton::clicked, this, &Main::restore);
    connect(save, &QPushButton::clicked, this, [this] {
        context_.openWindow(QStringLiteral("Form_SaveSettings"),
                            [this] { return new Form_SaveSettings(context_); });
    });
    connect(load, &QPushButton::clicked, this, [this] {
        context_.openWindow(QStringLiteral("Form_LoadSettings"),
                            [this] { return new Form_LoadSettings(context_); });
    });
    connect(screenButtons[0], &QPushButton::clicked, this,
            [this] { openCreaturePicker(context_); });
    const Category categories[] = {Category::Room,     Category::Magic,   Category::Research,
                                   Category::TrapDoor, Category::Ability, Category::Misc};
    for (int i = 0; i < 6; ++i) {
        const Category category = categories[i];
        connect(screenButtons[i + 1], &QPushButton::clicked, this,
                [this, category] { openSettingsScreen(context_, category); });
    }
    connect(locate_, &QPushButton::clicked, this, &Main::openLocate);

    context_.showStatus = [this](const QString& text) { showStatus(text); };
    context_.watchChanges(this, [this] { showHistory(); });
    showHistory();
}

QMenuBar* Main::menuBar() {
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MenuBar_Main"));
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("Menu_File"));
    file->setToolTipsVisible(true);
    QAction* changeFolder = file->addAction(QStringLiteral("Change &Game Folder..."));
    changeFolder->setObjectName(QStringLiteral("Action_ChangeGameFolder"));
    changeFolder->setToolTip(QStringLiteral("Edit the game installed in another folder"));
    connect(changeFolder, &QAction::triggered, this, &Main::changeGameFolder);
    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Menu_Edit"));
    undo_ = edit->addAction(QStringLiteral("&Undo"));
    undo_->setObjectName(QStringLiteral("Action_Undo"));
    undo_->setShortcuts(QKeySequence::Undo);
    redo_ = edit->addAction(QStringLiteral("&Redo"));
    redo_->setObjectName(QStringLiteral("Action_Redo"));
    redo_->setShortcuts(redoKeys());
    connect(undo_, &QAction::triggered, this, [this] { context_.undo(); });
    connect(redo_, &QAction::triggered, this, [this] { context_.redo(); });
    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("Menu_View"));
    view->setToolTipsVisible(true);
    QAction* changes = view->addAction(QStringLiteral("&Changes..."));
    changes->setObjectName(QStringLiteral("Action_Changes"));
    connect(changes, &QAction::triggered, this, [this] { openChanges(context_); });
    compare_ = view->addAction(QStringLiteral("C&ompare Creatures..."));
    compare_->setObjectName(QStringLiteral("Action_CompareCreatures"));
    compare_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    // Like every settings window, it edits the values of a game read.
    compare_->setEnabled(false);
    compare_->setToolTip(QStringLiteral("Locate the game first: this edits its values."));
    connect(compare_, &QAction::triggered, this, [this] { openCompareCreatures(context_); });
    QAction* messages = view->addAction(QStringLiteral("&Messages..."));
    messages->setObjectName(QStringLiteral("Action_Messages"));
    messages->setToolTip(QStringLiteral("Every message of the status line in this run"));
    connect(messages, &QAction::triggered, this, &Main::openMessages);
    QMenu* keeperFx = bar->addMenu(QStringLiteral("&KeeperFX"));
    keeperFx->setObjectName(QStringLiteral("Menu_KeeperFX"));
    keeperFx->setToolTipsVisible(true);
    readKeeperFx_ = keeperFx->addAction(QStringLiteral("&Read KeeperFX Rules"));
    readKeeperFx_->setObjectName(QStringLiteral("Action_ReadKeeperFx"));
    applyKeeperFx_ = keeperFx->addAction(QStringLiteral("&Apply to KeeperFX"));
    applyKeeperFx_->setObjectName(QStringLiteral("Action_ApplyKeeperFx"));
    keeperFx->addSeparator();
    games_ = keeperFx->addMenu(QStringLiteral("&Game to Read"));
    games_->setObjectName(QStringLiteral("Menu_KeeperFxGame"));
    games_->setToolTipsVisible(true);
    gameGroup_ = new QActionGroup(games_);
    // The folder's campaigns may change while the editor runs.
    connect(games_, &QMenu::aboutToShow, this, &Main::listGames);
    connect(readKeeperFx_, &QAction::triggered, this, &Main::readKeeperFx);
    connect(applyKeeperFx_, &QAction::triggered, this, [this] { applyKeeperFx(); });
    enableKeeperFx(false, {});
    return bar;
}

void Main::showHistory() {
    context_.showHistoryOn(undo_, redo_);
}

Main::~Main() {
    context_.showStatus = [](const QString&) {};
    closeOtherWindows(true);
}

void Main::load() {
    showLoadOutcome(runStartup(context_.store, context_.state, configPath_));
}

void Main::openSettingsFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    if (!gameRead_) {
        // The values a settings file holds replace those of a game read; without a game
        // there is nothing to put them into, nor to apply them to.
        context_.messages.inform(
            this, QStringLiteral("%1 was not loaded: the game was not found. Locate the game "
                                 "with the \"...\" button under \"Dungeon Keeper "
                                 "Location\", then load the file with Load Settings.")
                      .arg(name));
        return;
    }
    loadSettings(context_, this, nativePath(QFileInfo(path).absoluteFilePath()),
                 name.toStdString());
}

void Main::showStatus(const QString& text) {
    // Stopping first makes a countdown already running start again, so every text
    // stays for one full interval.
    timer_->stop();
    welcome_->setText(text);
    timer_->start();
    statusMessages_.append({QTime::currentTime(), text});
    if (auto* window =
            qobject_cast<Form_Messages*>(context_.window(QStringLiteral("Form_Messages"))))
        window->add(statusMessages_.back());
}

void Main::openMessages() {
    context_.openWindow(QStringLiteral("Form_Messages"),
                        [this] { return new Form_Messages(statusMessages_); });
}

void Main::showLoadOutcome(const GameLoadOutcome& outcome) {
    if (outcome.gameFound)
        showReady(outcome);
    if (outcome.message)
        context_.messages.inform(this, fromCore(*outcome.message));
    if (!outcome.gameFound)
        return;
    if (keeperfx::holdsKeeperFxRules(outcome.installPath))
        context_.messages.inform(this, fromCore(keeperfx::kStartUpMessage));
    else if (holdsKeeperFx(outcome.installPath))
        context_.messages.inform(this, fromCore(kKeeperFxWarning));
}

void Main::enableKeeperFx(bool found, const std::string& installPath) {
    const bool keeperFx = found && keeperfx::holdsKeeperFxRules(installPath);
    readKeeperFx_->setEnabled(keeperFx);
    applyKeeperFx_->setEnabled(keeperFx);
    games_->setEnabled(keeperFx);
    if (!found) {
        const QString why = QStringLiteral("Locate the game first: this works on its folder.");
        readKeeperFx_->setToolTip(why);
        applyKeeperFx_->setToolTip(why);
    } else if (!keeperFx) {
        const QString why =
            QStringLiteral("The game folder holds no KeeperFX (no fxdata and creatrs folders).");
        readKeeperFx_->setToolTip(why);
        applyKeeperFx_->setToolTip(why);
    } else {
        applyKeeperFx_->setToolTip(QStringLiteral(
            "Write the values as the KeeperFX mod mods/tavrel, enabled in mods/load_order.cfg"));
        listGames();
    }
}

void Main::listGames() {
    const std::string& installPath = context_.state.InstallPath;
    const std::vector<keeperfx::Campaign> campaigns = keeperfx::listCampaigns(installPath);
    const keeperfx::Campaign* chosen =
        game_.empty() ? nullptr : keeperfx::findCampaign(campaigns, game_);
    if (!game_.empty() && !chosen)
        chooseGame({});
    for (QAction* action : gameGroup_->actions())
        delete action;
    games_->clear();
    // `game` as the status line names it.
    auto add = [this](const QString& text, const std::string& name, const QString& tip,
                      const QString& game) {
        QAction* action = games_->addAction(text);
        action->setObjectName(name.empty()
                                  ? QStringLiteral("Action_FreePlay")
                                  : QStringLiteral("Action_Game_") + QString::fromStdString(name));
        action->setCheckable(true);
        action->setChecked(keeperfx::sameName(name, game_));
        action->setToolTip(tip);
        gameGroup_->addAction(action);
        connect(action, &QAction::triggered, this, [this, name, game] {
            chooseGame(name);
            showGame(game);
            showStatus(QStringLiteral("Read KeeperFX Rules now reads %1.").arg(game));
        });
    };
    add(QStringLiteral("&Free Play"), {},
        QStringLiteral("Free play with no map pack chosen: the rules of fxdata, creatrs and "
                       "the mods"),
        QStringLiteral("free play"));
    bool mapPacks = false;
    for (const keeperfx::Campaign& campaign : campaigns) {
        // Campaigns first, then the map packs, each group set apart.
        if (campaign.mapPack != mapPacks || &campaign == &campaigns.front()) {
            games_->addSeparator();
            mapPacks = campaign.mapPack;
        }
        add(menuText(campaign.title) +
                (campaign.mapPack ? QStringLiteral(" (map pack)") : QString()),
            campaign.name,
            QStringLiteral("The ") + fromCore(campaign.label()) +
                (campaign.mapPack ? QStringLiteral(", levels/") : QStringLiteral(", campgns/")) +
                QString::fromStdString(campaign.name) + QStringLiteral(".cfg"),
            fromCore(campaign.label()));
    }
    showGame(chosen ? fromCore(chosen->label()) : QStringLiteral("free play"));
}

void Main::showGame(const QString& game) {
    readKeeperFx_->setToolTip(
        QStringLiteral("Fill the tables with the values KeeperFX plays %1 with").arg(game));
}

void Main::chooseGame(const std::string& name) {
    game_ = name;
    // Not remembering is no reason to stop: the choice holds for this run.
    (void)writeGameChoice(gameChoicePath_, name);
}

void Main::readKeeperFx() {
    // A campaign removed since the menu was last shown is read as free play.
    listGames();
    const keeperfx::RulesRead read = keeperfx::readRules(context_.state.InstallPath, game_);
    if (!read.ok) {
        context_.messages.inform(this, fromCore(read.message));
        return;
    }
    if (!settleChanges("reading the KeeperFX rules"))
        return;
    // Set first, so that every window redrawn for the new values can say where they
    // come from.
    ValueOrigins origins;
    origins.set(read.origins, read.values, read.campaign);
    context_.setOrigins(std::move(origins));
    context_.store.fill(read.values, "Read KeeperFX Rules", RulesOrigin::KeeperFx);
    context_.refreshAll();
    showStatus(fromCore(read.status()));
}

bool Main::applyKeeperFx() {
    const std::string& installPath = context_.state.InstallPath;
    const ValueSet& values = context_.store.values();
    // Tables read from CREATURE.TXT or a settings file count as read as free play.
    const std::string& readAs = context_.origins().readAs();
    const std::vector<keeperfx::Campaign> campaigns = keeperfx::listCampaigns(installPath);
    const keeperfx::Campaign* one =
        keeperfx::findCampaign(campaigns, readAs.empty() ? game_ : readAs);
    std::vector<keeperfx::ApplyOptions> scopes(one ? 3 : 2);
    QStringList choices = {QStringLiteral("Everywhere"),
                           QStringLiteral("Under the campaigns' rules")};
    scopes[1].scope = keeperfx::ApplyScope::UnderCampaigns;
    if (one) {
        scopes[2].scope = keeperfx::ApplyScope::OneCampaign;
        scopes[2].campaign = one->name;
        choices << QStringLiteral("Only ") + menuText(one->label());
    }
    for (keeperfx::ApplyOptions& options : scopes)
        options.readAs = readAs;
    // Each scope's question is worked out once, when its option is first chosen.
    std::map<int, keeperfx::ApplyPreview> previews;
    auto preview = [&](int choice) -> const keeperfx::ApplyPreview& {
        auto found = previews.find(choice);
        if (found == previews.end())
            found =
                previews
                    .emplace(choice,
                             keeperfx::previewApply(installPath, values,
                                                    scopes.at(static_cast<std::size_t>(choice))))
                    .first;
        return found->second;
    };
    ChoiceQuestion question;
    question.title = QStringLiteral("Apply to KeeperFX?");
    question.prompt = QStringLiteral("Where KeeperFX plays the values you changed:");
    question.choices = choices;
    // After a read as one campaign, its tuner means that one.
    question.preferred = !readAs.empty() && one ? 2 : 0;
    if (const keeperfx::ApplyPreview& first = preview(question.preferred); !first.ok) {
        context_.messages.inform(this, fromCore(first.message));
        return false;
    }
    question.textFor = [&preview](int choice) {
        const keeperfx::ApplyPreview& said = preview(choice);
        return fromCore(said.ok ? said.question : said.message);
    };
    question.help = QString::fromLatin1(kScopeHelp) + QStringLiteral("\n\n") +
                    fromCore(keeperfx::kTenthLevelNote);
    const int chosen = context_.messages.askChoice(this, question);
    if (chosen < 0 || chosen >= static_cast<int>(scopes.size()))
        return false;
    const keeperfx::ModApply result =
        keeperfx::applyMod(installPath, values, scopes.at(static_cast<std::size_t>(chosen)));
    if (!result.ok) {
        const std::string message =
            result.refusedSlot
                ? keeperfx::refusedModValueMessage(*result.refusedSlot,
                                                   context_.store.value(*result.refusedSlot),
                                                   describeSlot(*result.refusedSlot).toStdString())
                : result.message;
        context_.messages.inform(this, fromCore(message));
        return false;
    }
    context_.history.markFile(FileEvent::Applied, context_.store.values());
    showStatus(fromCore(result.summary));
    // What the status line has no room for: values KeeperFX will not play with.
    if (!result.notes.empty()) {
        std::string notes;
        for (const std::string& note : result.notes)
            notes += (notes.empty() ? "" : "\n\n") + note;
        context_.messages.inform(this, fromCore(notes));
    }
    return true;
}

void Main::showReady(const GameLoadOutcome& outcome) {
    showStatus(fromCore(foundText(outcome.addonPresent)));
    const QString folder = fromCore(locationText(outcome.installPath));
    location_->setText(folder);
    location_->setToolTip(folder);
    for (QPushButton* button : gameCommands_)
        button->setEnabled(true);
    // "..." finds the first game; File > Change Game Folder switches to another.
    locate_->setEnabled(false);
    locate_->setToolTip(QStringLiteral("To edit a game in another folder, choose Change Game "
                                       "Folder... in the File menu"));
    compare_->setEnabled(true);
    compare_->setToolTip(QString());
    enableKeeperFx(true, outcome.installPath);
    gameRead_ = true;
    discarded_.reset();
    context_.clearOrigins();
    // The values read are where editing starts: undoing the read would only bring
    // back the empty tables of a game not yet found, which must never be applied.
    context_.history.clear();
    context_.history.markFile(FileEvent::Read, context_.store.values());
    showHistory();
    // Windows left open from another game show this one's values.
    context_.refreshAll();
}

// Both applies ask the one question.
bool Main::confirmApply() {
    return context_.messages.ask(this, QStringLiteral("Are you sure you want to continue?"),
                                 QStringLiteral("Apply Changes?"));
}

bool Main::apply(bool confirm) {
    if (confirm && !confirmApply())
        return false;
    const ApplyResult result = applyToGame(context_.state.InstallPath, context_.store.values());
    if (result.outcome == ApplyOutcome::Applied) {
        context_.history.markFile(FileEvent::Applied, context_.store.values());
        showStatus(QStringLiteral("Changes have been applied to the game."));
        return true;
    }
    // Anything short of a clean write of every file is told in one message box and
    // never as success on the status line: when only the add-on's copy failed, or the
    // system could not confirm that the new files are safely on disk, the box says
    // exactly what was written, and a status "applied" beside it would contradict it.
    // A refused value is named as its screen shows it, so the user can find it.
    auto named = [](SlotRef ref) { return describeSlot(ref).toStdString(); };
    const std::string message =
        result.refusedSlot ? refusedValueMessage(context_.store.value(*result.refusedSlot),
                                                 named(*result.refusedSlot))
        : !result.beyondGame.empty()
            ? beyondGameMessage(context_.store.values(), result.beyondGame, named)
            : result.message;
    context_.messages.inform(this, fromCore(message));
    return false;
}

void Main::restore() {
    if (!context_.messages.ask(this,
                               QStringLiteral("Any changes you have made will be lost. Continue?"),
                               QStringLiteral("Restore Defaults?")))
        return;
    context_.clearOrigins();
    context_.store.restoreDefaults();
    context_.refreshAll();
    showStatus(QStringLiteral("Defaults loaded. Remember to apply the changes."));
}

void Main::openLocate() {
    context_.openWindow(QStringLiteral("Form_LocateDungeonKeeper"), [this] {
        // The dialog may outlive the main window in a test; the program itself ends
        // with the main window.
        QPointer<Main> self(this);
        return new Form_LocateDungeonKeeper(
            context_, configPath_,
            [self](const GameLoadOutcome& outcome) {
                if (self)
                    self->showLoadOutcome(outcome);
            },
            [self] {
                return self ? self->mayReplaceGame() : Form_LocateDungeonKeeper::Replace::Refused;
            },
            findGames(finderEnvironment_));
    });
}

void Main::changeGameFolder() {
    // Asked before the dialog opens, so the answer comes before any browsing.
    if (gameRead_ && !settleChanges("changing the game folder"))
        return;
    openLocate();
}

Form_LocateDungeonKeeper::Replace Main::mayReplaceGame() {
    using Replace = Form_LocateDungeonKeeper::Replace;
    if (!gameRead_)
        return Replace::NoGameRead;
    // The values the user discarded when the dialog was opened are not asked about
    // again; values changed since are.
    if (context_.store.values() == discarded_)
        return Replace::Allowed;
    return settleChanges("changing the game folder") ? Replace::Allowed : Replace::Refused;
}

// The windows that later work brings (settings files) open as empty
// windows of their name and title, so the opening rule holds for every command now.
void Main::openPending(const QString& name, const QString& title) {
    context_.openWindow(name, [title] {
        auto* window = new QWidget;
        window->setWindowTitle(title);
        window->resize(320, 240);
        return window;
    });
}

bool Main::settleChanges(const char* action) {
    const ValueSet& values = context_.store.values();
    const std::string question = context_.history.closingQuestion(values, action);
    if (question.empty())
        return true;
    const int answer = context_.messages.choose(
        this, fromCore(question), QStringLiteral("Unapplied Changes?"),
        {QStringLiteral("Apply"), QStringLiteral("Discard"), QStringLiteral("Cancel")});
    if (answer == 0)
        return apply(false);
    if (answer == 1)
        discarded_ = values;
    return answer == 1;
}

void Main::closeEvent(QCloseEvent* event) {
    // Unapplied values are asked about first; otherwise the program ends at once,
    // nothing saved, and every other window goes with this one.
    if (!settleChanges("closing")) {
        event->ignore();
        return;
    }
    closeOtherWindows(false);
    event->accept();
    QCoreApplication::quit();
}

void Main::closeOtherWindows(bool now) {
    QList<QPointer<QWidget>> others;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        // Tool tips and pop-ups belong to Qt itself and go away on their own.
        const Qt::WindowType type = window->windowType();
        if (window != this && !window->parentWidget() && (type == Qt::Window || type == Qt::Dialog))
            others << window;
    }
    for (const QPointer<QWidget>& window : others) {
        if (!window)
            continue;
        window->hide();
        if (now)
            delete window.data();
        else
            window->deleteLater();
    }
}

} // namespace tavrel::screens
