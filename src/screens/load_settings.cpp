#include "screens/load_settings.h"

#include <QDir>

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
    if (!result.ok) {
        context_.messages.inform(this, QString::fromStdString(result.message));
        return;
    }
    context_.history.markSaved(context_.store.values());
    context_.refreshAll();
    context_.showStatus(QStringLiteral("File loaded."));
    close();
}

} // namespace tavrel::screens
