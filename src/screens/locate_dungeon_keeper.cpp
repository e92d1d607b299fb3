#include "screens/locate_dungeon_keeper.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "core/errors.h"
#include "screens/widgets/folder_lists.h"

namespace tavrel::screens {

Form_LocateDungeonKeeper::Form_LocateDungeonKeeper(AppContext& context, std::string configPath,
                                                   LoadReport report, ReplaceCheck replace,
                                                   const std::vector<FoundGame>& found,
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
    if (!found.empty()) {
        auto* caption = new QLabel(QStringLiteral("Found on this computer:"), this);
        caption->setObjectName(QStringLiteral("Label_Found"));
        auto* list = new QListWidget(this);
        list->setObjectName(QStringLiteral("List_Found"));
        for (const FoundGame& game : found) {
            const QString folder = QDir::toNativeSeparators(QString::fromStdString(game.folder));
            auto* line = new QListWidgetItem(
                QString::fromStdString(game.label) + QStringLiteral(": ") + folder, list);
            line->setData(DirList::PathRole, QDir::fromNativeSeparators(folder));
            line->setToolTip(folder);
        }
        // Nothing is selected: no choice is made for the user.
        list->setCurrentRow(-1);
        // Long folders keep their ends, the game's own folder name among them; the whole
        // folder is in the tip. A few lines show without scrolling.
        list->setTextElideMode(Qt::ElideMiddle);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setFixedHeight(list->sizeHintForRow(0) * std::min(list->count(), 4) +
                             2 * list->frameWidth());
        setMinimumWidth(480);
        // Chosen as a folder is opened in the folder list: a double click or Enter.
        connect(list, &QListWidget::itemActivated, this, [this](QListWidgetItem* line) {
            chooseFound(line->data(DirList::PathRole).toString());
        });
        outer->addWidget(caption);
        outer->addWidget(list);
    }
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

void Form_LocateDungeonKeeper::chooseFound(const QString& folder) {
    // The folder list already there raises no change: the find runs again directly.
    if (dir_->path() == folder) {
        find(folder);
        return;
    }
    chooseDrive(folder);
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
