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
    const SettingsFileResult result = loadSettingsFile(path, context_.store);
    if (!result.ok && result.errorNumber == 0) { // not a settings file
        context_.messages.inform(this, QString::fromStdString(result.message));
        return;
    }
    if (!result.ok) {
        // The list shows the folder as it is now: a listed file that has gone since
        // cannot be accessed any more, and its name leaves the list.
        fileList()->setPath(fileList()->path());
        report(result.errorNumber == err::FileNotFound ? err::PathFileAccess : result.errorNumber);
        return;
    }
    context_.history.markFile(FileEvent::Loaded, context_.store.values(), file.toStdString());
    context_.clearOrigins();
    context_.refreshAll();
    context_.showStatus(QStringLiteral("File loaded."));
    close();
}

} // namespace tavrel::screens
