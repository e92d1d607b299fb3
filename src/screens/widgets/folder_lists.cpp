#include "screens/widgets/folder_lists.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStyle>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/errors.h"

namespace tavrel::screens {

namespace {

// Folder paths compared the way the file system compares them.
Qt::CaseSensitivity pathCase() {
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

QString cleanFolder(const QString& folder) {
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

bool holds(const QString& root, const QString& folder) {
    if (folder.compare(root, pathCase()) == 0)
        return true;
    const QString prefix = root.endsWith('/') ? root : root + '/';
    return folder.startsWith(prefix, pathCase());
}

// Lists the entries of `folder` of one kind (folders, or files matching `pattern`);
// the error number when the folder cannot be read.
int listFolder(const QString& folder, QDir::Filters kind, const QString& pattern,
               QStringList& names) {
    std::error_code ec;
    std::filesystem::directory_iterator it(std::filesystem::path(folder.toStdU16String()), ec);
    if (ec)
        return folderErrorNumber(ec.value());
    QDir dir(folder);
    if (!pattern.isEmpty())
        dir.setNameFilters({pattern});
    names = dir.entryList(kind | QDir::NoDotAndDotDot,
                          QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    return 0;
}

} // namespace

std::string nativePath(const QString& folder) {
    return QDir::toNativeSeparators(folder).toStdString();
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
#ifdef Q_OS_WIN
    for (const QFileInfo& drive : QDir::drives())
        addDrive(drive.absolutePath(), QDir::toNativeSeparators(drive.absolutePath()).toLower());
#else
    addDrive(QDir::rootPath(), QDir::rootPath());
    addDrive(QDir::homePath(), QDir::toNativeSeparators(QDir::homePath()));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || volume.isRoot())
            continue;
        const QString root = volume.rootPath();
        // Containers bind single files into place; only folders are volumes here.
        if (!QFileInfo(root).isDir())
            continue;
        QString caption = QDir::toNativeSeparators(root);
        if (!volume.name().isEmpty())
            caption += QStringLiteral(" [%1]").arg(volume.name());
        addDrive(root, caption);
    }
#endif
    showDriveOf(QDir::currentPath());
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!syncing_ && index >= 0)
            emit driveChosen(itemData(index).toString());
    });
}

QString DriveList::drive() const {
    return currentData().toString();
}

void DriveList::addDrive(const QString& root, const QString& caption) {
    const QString clean = cleanFolder(root);
    for (int i = 0; i < count(); ++i)
        if (itemData(i).toString().compare(clean, pathCase()) == 0)
            return;
    addItem(caption, clean);
}

void DriveList::showDriveOf(const QString& folder) {
    const QString clean = cleanFolder(folder);
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        if (holds(root, clean) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    syncing_ = true;
    setCurrentIndex(best);
    syncing_ = false;
}

DirList::DirList(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString folder = item->data(PathRole).toString();
        const int error = setPath(folder);
        if (error == 0)
            return;
        // The folder may have vanished since it was listed: show the list as it now is.
        if (folder != path_)
            setPath(path_);
        emit openFailed(error);
    });
    // A working folder that cannot be listed leaves the list at home, or at the root.
    if (setPath(QDir::currentPath()) != 0 && setPath(QDir::homePath()) != 0)
        setPath(QDir::rootPath());
}

int DirList::setPath(const QString& folder) {
    const QString clean = cleanFolder(folder);
    QStringList subFolders;
    if (const int error = listFolder(clean, QDir::Dirs, {}, subFolders))
        return error;
    const bool changed = clean.compare(path_, pathCase()) != 0;
    path_ = clean;
    fill(clean, subFolders);
    if (changed)
        emit pathChanged(path_);
    return 0;
}

QListWidgetItem* DirList::itemFor(const QString& folder) const {
    const QString clean = cleanFolder(folder);
    for (int i = 0; i < count(); ++i)
        if (item(i)->data(PathRole).toString().compare(clean, pathCase()) == 0)
            return item(i);
    return nullptr;
}

void DirList::fill(const QString& folder, const QStringList& subFolders) {
    QStringList chain{folder};
    for (QDir up(folder); up.cdUp();)
        chain.prepend(up.absolutePath());

    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [this](const QIcon& icon, const QString& path, const QString& caption, int depth) {
        auto* line = new QListWidgetItem(icon, QString(depth * 3, ' ') + caption, this);
        line->setData(PathRole, path);
        line->setToolTip(QDir::toNativeSeparators(path));
        return line;
    };

    clear();
    QListWidgetItem* current = nullptr;
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QString& path = chain[depth];
        const QString caption =
            depth == 0 ? QDir::toNativeSeparators(path) : QFileInfo(path).fileName();
        current = add(open, path, caption, depth);
    }
    const QString base = folder.endsWith('/') ? folder : folder + '/';
    for (const QString& name : subFolders)
        add(closed, base + name, name, static_cast<int>(chain.size()));
    setCurrentItem(current);
    scrollToItem(current, QAbstractItemView::PositionAtTop);
}

FileList::FileList(const QString& pattern, QWidget* parent)
    : QListWidget(parent), pattern_(pattern) {
    setUniformItemSizes(true);
    // Only the user's own choice counts: the view also makes a line current by itself,
    // for one when it takes the focus.
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { emit fileChosen(item->text()); });
}

void FileList::keyPressEvent(QKeyEvent* event) {
    QListWidgetItem* before = currentItem();
    QListWidget::keyPressEvent(event);
    if (currentItem() && currentItem() != before)
        emit fileChosen(currentItem()->text());
}

int FileList::setPath(const QString& folder) {
    const QString clean = cleanFolder(folder);
    QStringList names;
    if (const int error = listFolder(clean, QDir::Files, pattern_, names))
        return error;
    // The same folder listed again keeps the keyboard's place: on the file that was
    // current, or on the line now where a file that went stood. Nothing is chosen by
    // that, so nothing is shown selected.
    const QString was = clean == path_ && currentItem() ? currentItem()->text() : QString();
    const int row = currentRow();
    path_ = clean;
    clear();
    addItems(names);
    if (!was.isEmpty() && count() > 0) {
        QListWidgetItem* same = itemFor(was);
        setCurrentItem(same ? same : item(std::min(row, count() - 1)),
                       QItemSelectionModel::NoUpdate);
    }
    return 0;
}

QListWidgetItem* FileList::itemFor(const QString& name) const {
    const auto found = findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.front();
}

} // namespace tavrel::screens
