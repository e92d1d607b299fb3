#include <QApplication>

#include "core/editor_state.h"
#include "core/settings_store.h"
#include "screens/app_context.h"
#include "screens/input_value_dialog.h"
#include "screens/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tavrel::SettingsStore store;
    tavrel::EditorState state;
    tavrel::screens::QtMessageSeam messages;
    tavrel::screens::AppContext context(store, state, messages);
    tavrel::screens::installValueEditing(context);
    tavrel::screens::Main window(context);
    window.show();
    window.load();
    return app.exec();
}
