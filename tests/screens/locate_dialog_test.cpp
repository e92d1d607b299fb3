#include <QtTest>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <memory>

#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "core/test_support.h"
#include "gamefile/writer.h"
#include "screens/folder_lists.h"
#include "screens/locate_dungeon_keeper.h"
#include "screens/main_window.h"
#include "screens/screen_test_support.h"

using namespace tavrel;

namespace {

const QString kDialog = QStringLiteral("Form_LocateDungeonKeeper");

// A main window without a configuration file, a folder "Keeper" that holds the game
// and an empty folder "Empty" beside it, and the locate dialog opened by a click.
struct Harness {
    test::ScreenFixture f;
    test::TempDir dir;
    std::string config = dir.file("Tavrel.cfg");
    std::string game = dir.file("Keeper");
    std::unique_ptr<screens::Main> main;
    QPointer<screens::Form_LocateDungeonKeeper> dialog;

    explicit Harness(std::string_view content = {}) {
        test::makeGameFolder(game, content.empty() ? renderGameFile(factoryDefaults())
                                                   : std::string(content));
        test::makeFolders(dir.file("Empty"));
        main = std::make_unique<screens::Main>(f.context, config);
        main->show();
        main->load();
    }
    QPushButton* button(const QString& name) const {
        return qobject_cast<QPushButton*>(test::child(main.get(), name));
    }
    QString welcome() const {
        return qobject_cast<QLabel*>(test::child(main.get(), "Label_Welcome"))->text();
    }
    void openDialog() {
        QTest::mouseClick(button("Cmd_Locate"), Qt::LeftButton);
        dialog = qobject_cast<screens::Form_LocateDungeonKeeper*>(f.context.window(kDialog));
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
    }
    screens::DirList* dirList() const {
        return qobject_cast<screens::DirList*>(test::child(dialog, "Dir"));
    }
    screens::DriveList* driveList() const {
        return qobject_cast<screens::DriveList*>(test::child(dialog, "Drive"));
    }
    // Opens a listed folder with a double click on its line, as the user does.
    void doubleClick(const std::string& folder) const {
        screens::DirList* list = dirList();
        QListWidgetItem* line = list->itemFor(QString::fromStdString(folder));
        QVERIFY2(line, folder.c_str());
        const QRect rect = list->visualItemRect(line);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // Browses to the working folder, which holds no game.
    void browseToWorkingFolder() const {
        QCOMPARE(dirList()->setPath(QString::fromStdString(dir.path())), 0);
        QVERIFY(f.seam.shown.empty());
    }
    bool dialogGone() const {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !dialog && !f.context.window(kDialog);
    }
};

void verifyReady(const Harness& h) {
    QCOMPARE(h.welcome(), QString("Dungeon Keeper found."));
    QCOMPARE(qobject_cast<QLabel*>(test::child(h.main.get(), "Label_Location"))->text(),
             QString::fromStdString(h.game));
    QVERIFY(!h.button("Cmd_Locate")->isEnabled());
    QVERIFY(h.button("Cmd_1")->isEnabled());
    QVERIFY(h.button("Cmd_Apply")->isEnabled());
}

void verifyNotFound(const Harness& h) {
    QVERIFY(h.button("Cmd_Locate")->isEnabled());
    QVERIFY(!h.button("Cmd_1")->isEnabled());
    QCOMPARE(h.welcome(), QString("Welcome to the unofficial Dungeon Keeper editor."));
}

} // namespace

class LocateDialogTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheBrowserModeless() {
        Harness h;
        h.openDialog();
        QCOMPARE(h.dialog->windowTitle(), QString("Where is Dungeon Keeper installed?"));
        QVERIFY(!h.dialog->isModal());
        auto* frame = qobject_cast<QGroupBox*>(test::child(h.dialog, "Frame1"));
        QCOMPARE(frame->title(), QString("Browser"));
        QVERIFY(qobject_cast<QComboBox*>(test::child(frame, "Drive")));
        QVERIFY(qobject_cast<QListWidget*>(test::child(frame, "Dir")));
        // It starts in the working folder, on the drive that holds it.
        QCOMPARE(h.dirList()->path(), QDir::currentPath());
        QVERIFY(h.driveList()->drive() == "/" ||
                QDir::currentPath().startsWith(h.driveList()->drive()));
        // A second click brings the same dialog forward.
        QTest::mouseClick(h.button("Cmd_Locate"), Qt::LeftButton);
        QCOMPARE(h.f.context.window(kDialog), h.dialog.data());
    }

    void aFolderWithoutTheGameDoesNothingVisible() {
        Harness h;
        h.openDialog();
        h.browseToWorkingFolder();
        h.doubleClick(h.dir.file("Empty"));
        QCOMPARE(h.dirList()->path(), QString::fromStdString(h.dir.file("Empty")));
        QVERIFY(h.f.seam.shown.empty());
        QVERIFY(h.dialog->isVisible());
        QVERIFY(!fileio::FileExists(h.config));
        verifyNotFound(h);
    }

    void openingTheGameFolderFindsTheGame() {
        Harness h;
        h.openDialog();
        h.browseToWorkingFolder();
        // Into the empty folder and back up through its parent's line, then the game.
        h.doubleClick(h.dir.file("Empty"));
        h.doubleClick(h.dir.path());
        QCOMPARE(h.dirList()->path(), QString::fromStdString(h.dir.path()));
        h.doubleClick(h.game);
        QVERIFY(h.f.seam.shown.empty());
        QCOMPARE(test::readBytes(h.config), "INSTALL_PATH=" + h.game + "\r\n");
        QCOMPARE(h.f.state.InstallPath, h.game);
        QVERIFY(h.f.store.values() == factoryDefaults());
        verifyReady(h);
        QVERIFY(h.main->findChild<QTimer*>("Timer_Main")->isActive());
        QVERIFY(h.dialogGone());
    }

    void theEnterKeyOpensAFolderToo() {
        Harness h;
        h.openDialog();
        h.browseToWorkingFolder();
        screens::DirList* list = h.dirList();
        list->setFocus();
        list->setCurrentItem(list->itemFor(QString::fromStdString(h.game)));
        QTest::keyClick(list, Qt::Key_Return);
        verifyReady(h);
        QVERIFY(h.dialogGone());
    }

    void aReadOnlyGameIsRefused() {
        Harness h;
        h.openDialog();
        h.browseToWorkingFolder();
        // The game's own disc: clearing the game file's read-only flag fails.
        fileio::testing::setFaultPlan(fileio::testing::FaultPlan{1, EROFS});
        h.doubleClick(h.game);
        fileio::testing::setFaultPlan(std::nullopt);
        QCOMPARE(h.f.seam.shown.size(), std::size_t{1});
        QCOMPARE(h.f.seam.shown[0].text,
                 QString("You can't use the Dungeon Keeper disc as the game location."));
        QVERIFY(h.dialog && h.dialog->isVisible());
        QVERIFY(!fileio::FileExists(h.config));
        QVERIFY(h.f.store.values() == ValueSet{});
        verifyNotFound(h);
    }

    void anUnwritableConfigurationStillReadsTheGame() {
        Harness h;
        h.openDialog();
        h.browseToWorkingFolder();
        // The second change of a find is creating the new Tavrel.cfg.
        fileio::testing::setFaultPlan(fileio::testing::FaultPlan{2, EROFS});
        h.doubleClick(h.game);
        fileio::testing::setFaultPlan(std::nullopt);
        QCOMPARE(h.f.seam.shown.size(), std::size_t{1});
        QCOMPARE(h.f.seam.shown[0].text,
                 QString("Unable to write Tavrel.cfg. You may need to copy the editor to "
                         "another disc."));
        QVERIFY(!fileio::FileExists(h.config));
        verifyReady(h);
        QVERIFY(h.dialogGone());
    }

    void aRejectedGameFileClosesTheDialogAndLeavesTheGameNotFound() {
        Harness h("1 2 3\r\n");
        h.openDialog();
        h.browseToWorkingFolder();
        h.doubleClick(h.game);
        QCOMPARE(h.f.seam.shown.size(), std::size_t{1});
        QCOMPARE(h.f.seam.shown[0].text,
                 QString("Unable to load settings. Incompatible Creature.txt file. Please "
                         "replace with the original from the Dungeon Keeper disc."));
        QCOMPARE(test::readBytes(h.config), "INSTALL_PATH=" + h.game + "\r\n");
        verifyNotFound(h);
        QVERIFY(h.dialogGone());
    }

    void aReaderErrorHidesTheDialogUntilLocateIsClickedAgain() {
        // A number too large for the tables makes the reader fail with error 6.
        std::string content = renderGameFile(factoryDefaults());
        content.insert(content.find_first_of("0123456789"), "99999999999");
        Harness h(content);
        h.openDialog();
        h.browseToWorkingFolder();
        h.doubleClick(h.game);
        QCOMPARE(h.f.seam.shown.size(), std::size_t{1});
        QCOMPARE(h.f.seam.shown[0].text,
                 QString("This action has caused an unknown error. Error code:  6"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(h.dialog);
        QVERIFY(!h.dialog->isVisible());
        verifyNotFound(h);
        QPointer<QWidget> hidden = h.dialog.data();
        h.openDialog();
        QCOMPARE(h.dialog.data(), hidden.data());
    }

    void aDriveThatCannotBeOpenedIsReportedAndTheFolderStays() {
        Harness h;
        h.openDialog();
        h.browseToWorkingFolder();
        screens::DriveList* drives = h.driveList();
        const QString driveBefore = drives->drive();
        // A volume that went away while the dialog was open.
        drives->addDrive(QString::fromStdString(h.dir.file("gone")), "gone");
        drives->setFocus();
        QTest::keyClick(drives, Qt::Key_End);
        QCOMPARE(h.f.seam.shown.size(), std::size_t{1});
        QCOMPARE(h.f.seam.shown[0].text, QString("The folder can't be found."));
        QCOMPARE(h.dirList()->path(), QString::fromStdString(h.dir.path()));
        QCOMPARE(drives->drive(), driveBefore);
        QVERIFY(h.dialog->isVisible());
    }

    void aDriveWhoseRootHoldsTheGameFindsItAtOnce() {
        Harness h;
        h.openDialog();
        screens::DriveList* drives = h.driveList();
        drives->addDrive(QString::fromStdString(h.game), "game");
        drives->setFocus();
        QTest::keyClick(drives, Qt::Key_End);
        QVERIFY(h.f.seam.shown.empty());
        verifyReady(h);
        QVERIFY(h.dialogGone());
    }
};

QTEST_MAIN(LocateDialogTest)
#include "locate_dialog_test.moc"
