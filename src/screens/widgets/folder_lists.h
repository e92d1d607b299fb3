#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>

#include <string>

namespace tavrel::screens {

// The drive list of the browsing dialogs. On Windows it holds the drive letters; on
// other systems, which have no drives, the file system root, the user's home folder
// and the mounted volumes stand in for them.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    // The chosen drive's root folder.
    QString drive() const;
    // Selects the drive that holds `folder`, without raising driveChosen: used to
    // keep the list in step with the folder list.
    void showDriveOf(const QString& folder);
    // Adds a drive at the end (mounted volumes come and go while a dialog is open).
    void addDrive(const QString& root, const QString& caption);

signals:
    // The user chose a drive.
    void driveChosen(const QString& root);

private:
    bool syncing_ = false;
};

// The folder list: the open folder's ancestors, the open folder and its sub-folders,
// one per line and indented by depth, as the classic folder list shows them.
// Activating a line (double click or Enter) opens that folder.
class DirList : public QListWidget {
    Q_OBJECT
public:
    // Starts in the working folder, as the platform's folder list does.
    explicit DirList(QWidget* parent = nullptr);

    // The open folder, with '/' separators.
    QString path() const { return path_; }
    // Opens `folder`. Returns 0, or the run-time error number when the folder cannot
    // be listed, in which case the list stays where it was. pathChanged follows only
    // when the open folder really changes.
    int setPath(const QString& folder);
    // The line that stands for `folder`, or null.
    QListWidgetItem* itemFor(const QString& folder) const;

    // Role of the item data that holds a line's folder.
    static constexpr int PathRole = Qt::UserRole + 1;

signals:
    void pathChanged(const QString& path);
    // A line activated could not be opened: the run-time error number. The list has
    // been filled anew by then.
    void openFailed(int errorNumber);

private:
    void fill(const QString& folder, const QStringList& subFolders);

    QString path_;
};

// The file list: the files of one folder whose names match a pattern such as "*.dks",
// in any letter case, sorted by name. Only the user's choice of a line is reported;
// refilling the list for another folder chooses nothing.
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(const QString& pattern, QWidget* parent = nullptr);

    QString path() const { return path_; }
    // Lists the matching files of `folder`. Returns 0, or the run-time error number
    // when the folder cannot be listed, in which case the list stays as it was.
    int setPath(const QString& folder);
    // The line of the file called `name`, or null.
    QListWidgetItem* itemFor(const QString& name) const;

signals:
    // The user chose the file called `name` (a click, or the selection moved).
    void fileChosen(const QString& name);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString pattern_;
    QString path_;
};

// A folder or file name as the file routines take it: native separators, UTF-8 on every
// system (Windows' own 8-bit code page would garble letters outside it).
std::string nativePath(const QString& folder);

} // namespace tavrel::screens
