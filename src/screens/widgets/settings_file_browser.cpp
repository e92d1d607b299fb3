#include "screens/widgets/settings_file_browser.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "core/errors.h"
#include "screens/widgets/folder_lists.h"
#include "settingsfile/settings_file.h"

namespace tavrel::screens {

SettingsFileBrowser::SettingsFileBrowser(AppContext& context, const QString& name,
                                         const QString& title, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(name);
    setWindowTitle(title);
    setModal(false);

    auto* frame = new QGroupBox(QStringLiteral("Browser"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    file_ = new FileList(QStringLiteral("*") + QString::fromLatin1(kSettingsExtension.data(),
                                                                   kSettingsExtension.size()),
                         frame);
    file_->setObjectName(QStringLiteral("File"));
    dir_ = new DirList(frame);
    dir_->setObjectName(QStringLiteral("Dir"));
    drive_ = new DriveList(frame);
    drive_->setObjectName(QStringLiteral("Drive"));
    file_->setMinimumSize(200, 240);
    dir_->setMinimumSize(240, 200);
    drive_->showDriveOf(dir_->path());
    report(file_->setPath(dir_->path()));

    // The files on the left; the folders, with the drive under them, on the right.
    auto* grid = new QGridLayout(frame);
    grid->addWidget(file_, 0, 0, 2, 1);
    grid->addWidget(dir_, 0, 1);
    grid->addWidget(drive_, 1, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(frame);

    connect(drive_, &DriveList::driveChosen, this, &SettingsFileBrowser::chooseDrive);
    connect(dir_, &DirList::pathChanged, this, [this](const QString& path) {
        drive_->showDriveOf(path);
        report(file_->setPath(path));
    });
    connect(dir_, &DirList::openFailed, this, &SettingsFileBrowser::report);
}

void SettingsFileBrowser::chooseDrive(const QString& root) {
    int error = dir_->setPath(root);
    // A drive whose root is missing is a volume that has gone away: no disc.
    if (error == err::PathNotFound || error == err::FileNotFound)
        error = err::DeviceUnavailable;
    if (error)
        drive_->showDriveOf(dir_->path());
    report(error);
}

void SettingsFileBrowser::report(int errorNumber) {
    if (errorNumber != 0)
        context_.messages.inform(
            this, QString::fromStdString(errorMessage(MessageTable::SettingsFile, errorNumber)));
}

std::string SettingsFileBrowser::folder() const {
    return nativePath(file_->path());
}

} // namespace tavrel::screens
