#include <QIcon>

#include <string_view>

#include "core/editor_state.h"
#include "core/fileio.h"
#include "core/settings_store.h"
#include "gamefile/config_place.h"
#include "screens/app_context.h"
#include "screens/application.h"
#include "screens/input_value_dialog.h"
#include "screens/main_window.h"
#include "screens/widgets/fit_window.h"

namespace {

constexpr const char* kHelp =
    "Usage: tavrel [--help | --version] [FILE.dks]\n"
    "\n"
    "Tavrel edits Data/CREATURE.TXT, the rules file of the game Dungeon Keeper, and writes\n"
    "it back (and the add-on pack's copy DD1CREAT.TXT, when it is there) when you click\n"
    "Apply Changes.\n"
    "\n"
    "Where the game is:\n"
    "  Tavrel keeps the game's installation folder, the one that holds Data/CREATURE.TXT,\n"
    "  in Tavrel.cfg in the folder it is started from (its working folder; started from\n"
    "  the desktop's menu, usually your home folder; on Windows beside tavrel.exe, or in\n"
    "  %APPDATA%\\Tavrel when Tavrel was installed or its folder takes no file). The file's\n"
    "  one line is INSTALL_PATH=FOLDER. When the file is missing or names no game, click\n"
    "  the \"...\" button under \"Dungeon Keeper Location\" in the main window and choose\n"
    "  the game's folder, or one of the games found on the computer: Tavrel then writes\n"
    "  Tavrel.cfg itself. File > Change Game Folder switches to another game later.\n"
    "  To keep several games apart, start Tavrel from a different folder for each (on\n"
    "  Windows, use a portable copy for each).\n"
    "\n"
    "A settings file (.dks) named on the command line, as opening one from the file\n"
    "manager does, is loaded once the game is found, as Load Settings does.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this text\n"
    "  -V, --version  show the version\n"
    "\n"
    "Qt's own options, such as -platform offscreen, are understood too.\n";

} // namespace

int main(int argc, char** argv) {
    // Answered before the window system is reached, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            return tavrel::fileio::printToConsole(kHelp) ? 0 : 1;
        }
        if (arg == "--version" || arg == "-V") {
            return tavrel::fileio::printToConsole("tavrel " TAVREL_VERSION "\n") ? 0 : 1;
        }
    }
    tavrel::screens::Application app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(TAVREL_VERSION));
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral(TAVREL_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/" TAVREL_APP_ID ".svg")));
    tavrel::SettingsStore store;
    tavrel::EditorState state;
    tavrel::screens::QtMessageSeam messages;
    app.setMessages(&messages);
    tavrel::screens::AppContext context(store, state, messages);
    tavrel::screens::installValueEditing(context);
    // Windows keeps Tavrel.cfg beside a portable copy or in the user's application data;
    // elsewhere it stays in the working folder.
    tavrel::screens::Main window(context, tavrel::configFilePath(tavrel::runningConfigPlace()));
    tavrel::screens::placeOnScreen(&window);
    window.show();
    window.load();
    // Qt has taken its own options away; the file is the last word, as the desktop's
    // "open with" passes it.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.openSettingsFile(arguments.last());
    return app.exec();
}
