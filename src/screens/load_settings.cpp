#include "screens/load_settings.h"

#include <QDir>

#include "core/errors.h"
#include "core/fileio.h"
#include "screens/widgets/folder_lists.h"
#include "settingsfile/settings_file.h"

namespace tavrel::screens {

Form_LoadSettings::Form_LoadSettings(AppContext& context, QWidget* parent)
    : SettingsFileBrowser(context, QStringLiteral("Form_LoadSettings"),
                          QStringLiteral("Load Settings (*.dks)"), parent) {
    connect(fileList(), &FileList::fileChosen, this, &Form_LoadSettings::load);
}

void Form_LoadSettings::load(const QString& file) {
    const std::string path = fileio::joinPath(folder(), nativePath(file));
    const SettingsLoad result = loadSettings(context_, this, path, file.toStdString());
    if (result == SettingsLoad::Failed) {
        // The list shows the folder as it is now: a listed file that has gone since
        // cannot be accessed any more, and its name leaves the list.
        fileList()->setPath(fileList()->path());
    }
    if (result == SettingsLoad::Loaded)
        close();
}

SettingsLoad loadSettings(AppContext& context, QWidget* parent, const std::string& path,
                          const std::string& name) {
    const SettingsFileResult result = loadSettingsFile(path, context.store);
    if (!result.ok && result.errorNumber == 0) { // not a settings file
        context.messages.inform(parent, QString::fromStdString(result.message));
        return SettingsLoad::NotSettingsFile;
    }
    if (!result.ok) {
        const int error =
            result.errorNumber == err::FileNotFound ? err::PathFileAccess : result.errorNumber;
        context.messages.inform(
            parent, QString::fromStdString(errorMessage(MessageTable::SettingsFile, error)));
        return SettingsLoad::Failed;
    }
    context.history.markFile(FileEvent::Loaded, context.store.values(), name);
    context.clearOrigins();
    context.refreshAll();
    context.showStatus(QStringLiteral("File loaded."));
    return SettingsLoad::Loaded;
}

} // namespace tavrel::screens
