// Renders every window of the editor into PNG files, so that their look can be
// reviewed side by side: tavrel-screenshots OUTPUT_FOLDER (best on the offscreen
// platform, QT_QPA_PLATFORM=offscreen, where the windows open on a 1280x800 laptop
// screen and show the scroll bars they need there).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/catalogue.h"
#include "core/editor_state.h"
#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "core/settings_store.h"
#include "gamefile/config_file.h"
#include "gamefile/game_paths.h"
#include "gamefile/writer.h"
#include "screens/app_context.h"
#include "screens/changes.h"
#include "screens/creatures/ability_picker.h"
#include "screens/creatures/compare_creatures.h"
#include "screens/creatures/creature_picker.h"
#include "screens/creatures/creature_screen.h"
#include "screens/input_value_dialog.h"
#include "screens/locate_dungeon_keeper.h"
#include "screens/main_window.h"
#include "screens/tables/settings_screens.h"

namespace {

using namespace tavrel;

// Answers every question with No and prints every message, so nothing blocks.
class PrintingSeam final : public screens::MessageSeam {
public:
    void inform(QWidget*, const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool ask(QWidget*, const QString& text, const QString& title) override {
        std::fprintf(stderr, "question %s: %s (answered No)\n", qPrintable(title),
                     qPrintable(text));
        return false;
    }
    int choose(QWidget*, const QString& text, const QString& title, const QStringList&) override {
        std::fprintf(stderr, "question %s: %s (closed)\n", qPrintable(title), qPrintable(text));
        return -1;
    }
    int askChoice(QWidget*, const screens::ChoiceQuestion& question) override {
        std::fprintf(stderr, "question %s: %s (answered No)\n", qPrintable(question.title),
                     qPrintable(question.textFor(question.preferred)));
        return -1;
    }
};

bool save(QWidget* window, const QDir& folder, const QString& name) {
    window->show();
    QApplication::processEvents();
    const QString file = folder.filePath(name + QStringLiteral(".png"));
    if (!window->grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

// A plain left click, as the user makes it.
void click(QWidget* widget) {
    const QPointF centre = QRectF(widget->rect()).center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, centre, widget->mapToGlobal(centre), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

// A game folder with the factory values, as `tavrel-cli demo` makes it.
bool makeDemoGame(const std::string& root) {
    std::error_code ec;
    std::filesystem::create_directories(fileio::joinPath(root, kDataFolderName), ec);
    return !ec && !fileio::replaceFile(gameFilePath(root, kCreatureFileName),
                                       renderGameFile(factoryDefaults()));
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir screenDir;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && screenDir.isValid()) {
        QFile screen(screenDir.filePath(QStringLiteral("screen.json")));
        if (screen.open(QIODevice::WriteOnly) &&
            screen.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1280,)"
                         R"( "height": 800, "logicalDpi": 96, "logicalBaseDpi": 96}]})") > 0) {
            screen.close();
            qputenv("QT_QPA_PLATFORM",
                    "offscreen:configfile=" + QFile::encodeName(screen.fileName()));
        }
    }
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrel-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    QTemporaryDir work;
    // With the system's separators, as a folder chosen in the locate dialog is shown.
    const std::string root = QFile::encodeName(QDir::toNativeSeparators(work.path())).toStdString();
    const std::string game = fileio::joinPath(root, "DungeonKeeper");
    const std::string config = fileio::joinPath(root, kConfigFileName);
    const std::string noConfig = fileio::joinPath(root, "missing.cfg");
    if (!work.isValid() || !makeDemoGame(game) || writeConfigFile(game, config)) {
        std::fprintf(stderr, "cannot make a demo game in %s\n", root.c_str());
        return 1;
    }

    bool ok = true;
    PrintingSeam seam;
    {
        // The game not found: the state without a configuration file.
        SettingsStore store;
        EditorState state;
        screens::AppContext context(store, state, seam);
        screens::Main main(context, noConfig);
        main.load();
        ok &= save(&main, out, QStringLiteral("Main-game-not-found"));
        auto* locate =
            new screens::Form_LocateDungeonKeeper(context, noConfig, [](const GameLoadOutcome&) {});
        locate->setAttribute(Qt::WA_DeleteOnClose);
        ok &= save(locate, out, QStringLiteral("Form_LocateDungeonKeeper"));
    }
    {
        SettingsStore store;
        EditorState state;
        screens::AppContext context(store, state, seam);
        screens::Main main(context, config);
        main.load();
        ok &= save(&main, out, QStringLiteral("Main-game-found"));
        for (const char* command : {"Cmd_Help", "Cmd_About", "Cmd_Save", "Cmd_Load"})
            main.findChild<QPushButton*>(QLatin1String(command))->click();
        for (const char* name :
             {"Form_Help", "Form_About", "Form_SaveSettings", "Form_LoadSettings"})
            if (QWidget* window = context.window(QLatin1String(name)))
                ok &= save(window, out, QLatin1String(name));
        for (Category category : kAllCategories) {
            if (category == Category::Creature)
                continue;
            QWidget* screen = screens::openSettingsScreen(context, category);
            ok &= save(screen, out, screens::settingsScreenName(category));
        }
        // The room screen with values above (green) and below (red) their factory
        // values, and the input dialog opened from one of them beside it.
        store.set(SlotRef::of(Category::Room, 2),
                  store.value(SlotRef::of(Category::Room, 2)) + 150);
        store.set(SlotRef::of(Category::Room, 5), store.value(SlotRef::of(Category::Room, 5)) - 20);
        store.set(SlotRef::of(Category::Room, 13), 2147482000);
        context.refreshAll();
        QWidget* room = context.window(screens::settingsScreenName(Category::Room));
        ok &= save(room, out, QStringLiteral("Form_RoomSettings-changed"));
        if (auto* value = room->findChild<QWidget*>(QStringLiteral("Label_Stat(2)"))) {
            click(value);
            if (QWidget* dialog = context.window(screens::kInputValueName))
                ok &= save(dialog, out, screens::kInputValueName);
        }
        ok &= save(screens::openCreaturePicker(context), out, screens::kCreaturesName);
        // Three creatures; the Wizard with values changed in every kind of control.
        for (const SlotRef changed :
             {SlotRef::creature(1, 5), SlotRef::creature(1, 7), SlotRef::creature(1, 1),
              SlotRef::creature(1, 15), SlotRef::creature(1, 35), SlotRef::creature(1, 37),
              SlotRef::creature(1, 38), SlotRef::creature(1, 40), SlotRef::creature(1, 41),
              SlotRef::creature(1, 64), SlotRef::creature(1, 71)})
            store.set(changed, store.value(changed) + (changed.slot == 7 ? -5 : 3));
        // Its abilities in every colour: none, damage tiles, unknown, claim any tile.
        for (const auto& [slot, code] : {std::pair{3, 0}, {5, 32}, {7, 18}, {8, 31}})
            store.set(SlotRef::creature(1, 38 + slot), code);
        for (const int kind : {1, 17, 23}) {
            QWidget* screen = screens::openCreatureScreen(context, kind);
            const std::string_view name = creatureKind(kind).screenName;
            ok &= save(screen, out,
                       screens::kCreatureSettingsName + QStringLiteral("-") +
                           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        }
        // All creatures side by side, scrolled to the end too, where the last frames stand.
        QWidget* compare = screens::openCompareCreatures(context);
        ok &= save(compare, out, screens::kCompareCreaturesName);
        if (auto* grid = compare->findChild<QTableView*>(QStringLiteral("Grid_Creatures"))) {
            grid->selectRow(3);
            grid->scrollTo(grid->model()->index(0, grid->model()->columnCount() - 1));
            ok &= save(compare, out, screens::kCompareCreaturesName + QStringLiteral("-end"));
        }
        state.AbilityPickTarget = {1, 5};
        ok &= save(screens::openAbilityPicker(context), out, screens::kInputAbilityName);
        // Every change above in the overview; the last one named by the Edit menu.
        store.set(SlotRef::of(Category::Room, 2), store.value(SlotRef::of(Category::Room, 2)) + 10);
        ok &= save(screens::openChanges(context), out, screens::kChangesName);
        ok &= save(&main, out, QStringLiteral("Main-with-changes"));
        if (auto* edit = main.findChild<QMenu*>(QStringLiteral("Menu_Edit")))
            ok &= save(edit, out, QStringLiteral("Main-Edit-menu"));
        // Greyed, as the demo game holds no KeeperFX.
        if (auto* keeperFx = main.findChild<QMenu*>(QStringLiteral("Menu_KeeperFX")))
            ok &= save(keeperFx, out, QStringLiteral("Main-KeeperFX-menu"));
        if (auto* file = main.findChild<QMenu*>(QStringLiteral("Menu_File")))
            ok &= save(file, out, QStringLiteral("Main-File-menu"));
        if (auto* messages = main.findChild<QAction*>(QStringLiteral("Action_Messages"))) {
            messages->trigger();
            if (QWidget* window = context.window(QStringLiteral("Form_Messages")))
                ok &= save(window, out, QStringLiteral("Form_Messages"));
        }
    }
    return ok ? 0 : 1;
}
