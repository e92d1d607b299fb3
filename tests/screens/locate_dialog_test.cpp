#include <QtTest>

#include <QListWidget>

#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "gamefile/writer.h"
#include "screens/locate_dungeon_keeper.h"
#include "screens/screen_test_support.h"
#include "screens/widgets/folder_lists.h"

using namespace tavrel;

namespace {

const QString kDialog = QStringLiteral("Form_LocateDungeonKeeper");

// A main window without a configuration, the game in "Keeper" and an empty folder
// "Empty" beside it, and the locate dialog opened by a click and browsed to their
// parent folder.
struct Harness : test::MainHarness {
    QPointer<QWidget> dialog;

    // `onComputer`: game folders of the computer the dialog looks for games on.
    explicit Harness(const std::string& content = {},
                     const std::vector<std::string>& onComputer = {}) {
        for (const std::string& folder : onComputer)
            test::makeGameFolder(computer.root + "/" + folder, renderGameFile(factoryDefaults()));
        makeGame(false, content);
        test::makeFolders(dir.file("Empty"));
        start();
        openDialog();
        // Modeless, titled, and opened on the working folder.
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->windowTitle(), QString("Where is Dungeon Keeper installed?"));
        QCOMPARE(dirList()->path(), QDir::currentPath());
        QCOMPARE(dirList()->setPath(QString::fromStdString(dir.path())), 0);
        QVERIFY(f.seam.shown.empty());
    }
    void openDialog() {
        click("Cmd_Locate");
        dialog = f.context.window(kDialog);
        QVERIFY(dialog && dialog->isVisible());
    }
    screens::DirList* dirList() const {
        return qobject_cast<screens::DirList*>(test::child(dialog, "Dir"));
    }
    // The open folder as the user sees it.
    QString folder() const { return QDir::toNativeSeparators(dirList()->path()); }
    QString inDir(const std::string& name = {}) const {
        return QString::fromStdString(name.empty() ? dir.path()
                                                   : fileio::joinPath(dir.path(), name));
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
    // Adds a drive for `root` and chooses it with the keyboard.
    void chooseDrive(const std::string& root) const {
        driveList()->addDrive(QString::fromStdString(root), "extra");
        driveList()->setFocus();
        QTest::keyClick(driveList(), Qt::Key_End);
    }
    bool dialogGone() const {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !dialog && !f.context.window(kDialog);
    }
    std::string configured() const { return "INSTALL_PATH=" + game + "\r\n"; }
};

} // namespace

class LocateDialogTest : public QObject {
    Q_OBJECT
private slots:
    void aFolderWithoutTheGameDoesNothing() {
        Harness h;
        h.doubleClick(h.inDir("Empty").toStdString());
        QCOMPARE(h.folder(), h.inDir("Empty"));
        QVERIFY(h.f.seam.shown.empty());
        QVERIFY(h.dialog->isVisible());
        QVERIFY(!fileio::FileExists(h.config));
        // Nothing found on the computer: nothing offered.
        QVERIFY(!h.dialog->findChild<QWidget*>("List_Found"));
        h.verifyNotFound();
        h.doubleClick(h.dir.path()); // back up through the parent's line
        QCOMPARE(h.folder(), h.inDir());
        // A drive that cannot be opened is told, and the folder and drive stay.
        const QString driveBefore = h.driveList()->drive();
        h.chooseDrive(h.dir.file("gone")); // a volume that went away
        QCOMPARE(h.f.seam.shown.size(), std::size_t{1});
        QCOMPARE(h.f.seam.shown[0].text, QString("The folder can't be found."));
        QCOMPARE(h.folder(), h.inDir());
        QCOMPARE(h.driveList()->drive(), driveBefore);
        QVERIFY(h.dialog->isVisible());
    }

    void openingTheGameFolderFindsTheGame() {
        // By a double click, the Enter key, and a drive whose root is the game.
        for (const QString how : {"click", "enter", "drive"}) {
            Harness h;
            if (how == "click") {
                h.doubleClick(h.game);
            } else if (how == "enter") {
                h.dirList()->setFocus();
                h.dirList()->setCurrentItem(h.dirList()->itemFor(QString::fromStdString(h.game)));
                QTest::keyClick(h.dirList(), Qt::Key_Return);
            } else {
                h.chooseDrive(h.game);
            }
            QVERIFY(h.f.seam.shown.empty());
            QCOMPARE(test::readBytes(h.config), h.configured());
            QVERIFY(h.f.store.values() == factoryDefaults());
            h.verifyReady();
            QCOMPARE(h.location(), QString::fromStdString(h.game));
            QVERIFY(h.dialogGone());
        }
    }

    void aGameFoundIsOfferedAndChosenByADoubleClick() {
        const std::string steam = "home/ann/.local/share/Steam/steamapps/common/Dungeon Keeper";
        const std::string wine = "home/ann/.wine/drive_c/GOG Games/Dungeon Keeper Gold";
        Harness h({}, {steam, wine});
        // Shown and stored with the system's own separators.
        const auto at = [&](const std::string& folder) {
            return QDir::toNativeSeparators(QString::fromStdString(h.computer.root + "/" + folder));
        };
        auto* list = qobject_cast<QListWidget*>(test::child(h.dialog, "List_Found"));
        QVERIFY(list && list->isVisible());
        QCOMPARE(test::textOf(h.dialog, "Label_Found"), QString("Found on this computer:"));
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), "Steam: " + at(steam));
        QCOMPARE(list->item(1)->text(), "GOG, Wine prefix ~/.wine: " + at(wine));
        // Offered, not chosen.
        QVERIFY(list->selectedItems().isEmpty());
        h.verifyNotFound();
        const QPoint second = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
        QVERIFY(h.f.seam.shown.empty() && h.dialog->isVisible()); // selected, not yet chosen
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
        QVERIFY(h.f.seam.shown.empty());
        h.verifyReady();
        QCOMPARE(h.location(), at(wine));
        QCOMPARE(test::readBytes(h.config), "INSTALL_PATH=" + at(wine).toStdString() + "\r\n");
        QVERIFY(h.dialogGone());
    }

    void aFindThatGoesWrong() {
        // A number too large for the tables makes the reader fail with error 6.
        std::string tooLarge = renderGameFile(factoryDefaults());
        tooLarge.insert(tooLarge.find_first_of("0123456789"), "99999999999");
        const struct {
            std::string content; // empty: a good game file
            int faultStep;       // 0: none
            QString message;
            bool ready, configWritten;
            QString dialogAfter; // visible, hidden or gone
        } cases[] = {
            // The game's own disc: clearing the game file's read-only flag fails.
            {"", 1, "You can't use the Dungeon Keeper disc as the game location.", false, false,
             "visible"},
            // The second change of a find is creating the new Tavrel.cfg.
            {"", 2, "Unable to write Tavrel.cfg. You may need to copy the editor to another disc.",
             true, false, "gone"},
            {"1 2 3\r\n", 0,
             "Unable to load settings. Incompatible Creature.txt file. Please replace with the "
             "original from the Dungeon Keeper disc.",
             false, true, "gone"},
            {tooLarge, 0, "This action has caused an unknown error. Error code:  6", false, true,
             "hidden"}};
        for (const auto& c : cases) {
            Harness h(c.content);
            if (c.faultStep)
                fileio::testing::setFaultPlan(fileio::testing::FaultPlan{c.faultStep, EROFS});
            h.doubleClick(h.game);
            fileio::testing::setFaultPlan(std::nullopt);
            QCOMPARE(h.f.seam.shown.size(), std::size_t{1});
            QCOMPARE(h.f.seam.shown[0].text, c.message);
            QCOMPARE(fileio::FileExists(h.config), c.configWritten);
            c.ready ? h.verifyReady() : h.verifyNotFound();
            QVERIFY(h.f.store.values() == (c.ready ? factoryDefaults() : ValueSet{}));
            if (c.dialogAfter == "gone") {
                QVERIFY(h.dialogGone());
                continue;
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(h.dialog);
            QCOMPARE(h.dialog->isVisible(), c.dialogAfter == "visible");
            QPointer<QWidget> before = h.dialog.data();
            h.openDialog(); // Locate brings the same dialog back
            QCOMPARE(h.dialog, before);
        }
    }
};

QTEST_MAIN(LocateDialogTest)
#include "locate_dialog_test.moc"
