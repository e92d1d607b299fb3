#include "screens/locate_dungeon_keeper.h"

#include <QGroupBox>
#include <QVBoxLayout>

#include "core/errors.h"
#include "screens/widgets/folder_lists.h"

namespace tavrel::screens {

Form_LocateDungeonKeeper::Form_LocateDungeonKeeper(AppContext& context, std::string configPath,
                                                   LoadReport report, ReplaceCheck replace,
                                                   QWidget* parent)
    : QDialog(parent), context_(context), configPath_(std::move(configPath)),
      report_(std::move(report)), replace_(std::move(replace)) {
    setObjectName(QStringLiteral("Form_LocateDungeonKeeper"));
    setWindowTitle(QStringLiteral("Where is Dungeon Keeper installed?"));
    setModal(false);

    auto* frame = new QGroupBox(QStringLiteral("Browser"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    drive_ = new DriveList(frame);
    drive_->setObjectName(QStringLiteral("Drive"));
    dir_ = new DirList(frame);
    dir_->setObjectName(QStringLiteral("Dir"));
    dir_->setMinimumSize(300, 260);
    drive_->showDriveOf(dir_->path());

    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(drive_);
    inner->addWidget(dir_, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(frame);

    connect(drive_, &DriveList::driveChosen, this, &Form_LocateDungeonKeeper::chooseDrive);
    connect(dir_, &DirList::pathChanged, this, [this](const QString& folder) {
        drive_->showDriveOf(folder);
        find(folder);
    });
}

void Form_LocateDungeonKeeper::chooseDrive(const QString& root) {
    // Moving the folder list raises its own change, which runs the find.
    if (const int error = dir_->setPath(root)) {
        context_.messages.inform(
            this, QString::fromStdString(errorMessage(MessageTable::LocateDialog, error)));
        // The folder list stayed where it was; the drive list follows it back.
        drive_->showDriveOf(dir_->path());
    }
}

void Form_LocateDungeonKeeper::find(const QString& folder) {
    const std::string path = nativePath(folder);
    if (!holdsGame(path))
        return;
    const Replace replace = replace_ ? replace_() : Replace::NoGameRead;
    if (replace == Replace::Refused)
        return;
    const LocateOutcome outcome =
        replace == Replace::Allowed ? switchGame(path, context_.store, context_.state, configPath_)
                                    : locateGame(path, context_.store, context_.state, configPath_);
    if (!outcome.gameInFolder)
        return;
    if (outcome.configMessage)
        context_.messages.inform(this, QString::fromStdString(*outcome.configMessage));
    if (outcome.hideDialog)
        hide();
    // The main window shows the read: its ready state or the reader's message.
    if (outcome.load.gameFound || outcome.load.message)
        report_(outcome.load);
    if (outcome.closeDialog)
        close();
}

} // namespace tavrel::screens
