#pragma once

#include <QDialog>

#include "screens/app_context.h"

namespace tavrel::screens {

class DirList;
class DriveList;
class FileList;

// What the save and load dialogs share: the "Browser" frame with the drive, folder
// and settings-file lists kept in step, and one error table for all their handlers.
class SettingsFileBrowser : public QDialog {
    Q_OBJECT
public:
    SettingsFileBrowser(AppContext& context, const QString& name, const QString& title,
                        QWidget* parent = nullptr);

    DriveList* driveList() const { return drive_; }
    DirList* dirList() const { return dir_; }
    FileList* fileList() const { return file_; }

protected:
    // Shows the message for a run-time error number; the dialog stays open.
    void report(int errorNumber);
    // The folder shown, as the settings-file routines take it.
    std::string folder() const;

    AppContext& context_;

private:
    void chooseDrive(const QString& root);

    DriveList* drive_;
    DirList* dir_;
    FileList* file_;
};

} // namespace tavrel::screens
