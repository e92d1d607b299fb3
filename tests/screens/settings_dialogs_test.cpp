#include <QtTest>

#include <QLineEdit>

#include <algorithm>
#include <filesystem>
#include <set>

#include "core/fileio.h"
#include "screens/screen_test_support.h"
#include "screens/widgets/folder_lists.h"
#include "settingsfile/settings_file.h"

using namespace tavrel;

namespace {

// File names as the file system tells them apart: where letter case is ignored, as on
// Windows, "UP.DKS" and "up.dks" are one file.
std::set<std::string> listed(const std::set<std::string>& names) {
    std::set<std::string> distinct;
    for (std::string name : names) {
        if (fileio::onWindows())
            std::transform(name.begin(), name.end(), name.begin(),
                           [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
        distinct.insert(name);
    }
    return distinct;
}
std::set<std::string> listed(const std::string& folder) {
    const std::vector<std::string> names = test::listFolder(folder);
    return listed(std::set<std::string>(names.begin(), names.end()));
}

// The main window, ready, with a dialog opened by its button and browsed to `folder`.
struct Harness : test::MainHarness {
    QPointer<QWidget> dialog;
    std::string folder = dir.file("settings");

    explicit Harness(const char* command, const char* name) {
        startReady();
        test::makeFolders(folder);
        click(command);
        dialog = f.context.window(name);
        QVERIFY(dialog && dialog->isVisible());
    }
    void browse() const {
        auto* dirs = qobject_cast<screens::DirList*>(test::child(dialog, "Dir"));
        QCOMPARE(dirs->setPath(QString::fromStdString(folder)), 0);
    }
    screens::FileList* files() const {
        return qobject_cast<screens::FileList*>(test::child(dialog, "File"));
    }
    void clickFile(const QString& name) const {
        QListWidgetItem* line = files()->itemFor(name);
        QVERIFY2(line, qPrintable(name));
        QTest::mouseClick(files()->viewport(), Qt::LeftButton, {},
                          files()->visualItemRect(line).center());
    }
    bool gone() const {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !dialog;
    }
    QStringList messages() const {
        QStringList texts;
        for (const auto& shown : f.seam.shown)
            texts << shown.text;
        return texts;
    }
};

const QString kBadName = QStringLiteral(
    "A file name cannot contain any of the following characters: \\ / : * ? \" < > |");

} // namespace

class SettingsDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void save() {
        // A file clicked in the list first (read-only, 20,000 bytes), what is then typed over
        // the name box (nothing: Enter on the name the click shows), the file written (empty:
        // none) and the message (empty: none, and the dialog closes); with Enter, then the button.
        std::vector<std::tuple<QString, QString, QString, QString>> cases = {
            {"", "Test", "Test.dks", ""},
            {"", "Test.dks", "Test.dks.dks", ""},
            {"", "v1.2", "v1.2.dks", ""},
            {"", "Été", "Été.dks", ""},
            {"", "mods/Test", "mods/Test.dks", ""},
            {"", "none/Test", "", "The folder can't be found."},
            {"", "", "", ""},
            {"UP.DKS", "", "UP.DKS", ""},
            {"UP.DKS", "up", "up.dks", ""},
            {"v1.2.dks", "", "v1.2.dks", ""},
            {"Été.dks", "", "Été.dks", ""}};
        for (const char* name : {"sub\\Test", "a?b", "a*b", "a:b", "a\"b", "a<b", "a>b", "a|b"})
            cases.emplace_back("", name, "", kBadName);
        for (std::size_t run = 0; run < 2 * cases.size(); ++run) {
            const auto& [clicked, typed, written, message] = cases[run % cases.size()];
            const bool byButton = run >= cases.size();
            Harness h("Cmd_Save", "Form_SaveSettings");
            QCOMPARE(h.dialog->windowTitle(), QString("Save Settings"));
            test::makeFolders(h.folder + "/mods");
            test::writeBytes(h.folder + "/notes.txt", "not listed");
            std::set<std::string> names = {"mods", "notes.txt", clicked.toStdString(),
                                           written.section('/', 0, 0).toStdString()};
            names.erase("");
            if (!clicked.isEmpty())
                test::writeFile(h.folder + "/" + clicked.toStdString(), std::string(20000, 'x'),
                                0444);
            h.browse();
            QCOMPARE(h.files()->count(), int(!clicked.isEmpty()));
            auto* box = qobject_cast<QLineEdit*>(test::child(h.dialog, "Text_FileName"));
            if (!clicked.isEmpty()) {
                h.clickFile(clicked);
                QCOMPARE(box->text() + clicked.right(4), clicked);
            }
            if (!typed.isEmpty()) { // in one key event, as an input method gives it
                box->clear();
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, typed, {});
            }
            QPushButton* save = test::button(h.dialog, "Cmd_Save");
            QVERIFY(save->text() == "Save" && save->isEnabled() == !box->text().isEmpty() &&
                    save->x() > box->x() + box->width() && save->y() < box->y() + box->height());
            if (byButton)
                QTest::mouseClick(save, Qt::LeftButton);
            else
                QTest::keyClick(box, Qt::Key_Return);

            QCOMPARE(h.messages(), message.isEmpty() ? QStringList() : QStringList{message});
            QVERIFY(listed(h.folder) == listed(names));
            if (written.isEmpty()) {
                QVERIFY(!h.gone());
                QCOMPARE(h.welcome(), QString("Dungeon Keeper found."));
                continue;
            }
            QVERIFY(test::readBytes(h.folder + "/" + written.toStdString()) ==
                    encodeSettings(h.f.store.values()));
            QCOMPARE(h.welcome(), QString("Settings saved."));
            QVERIFY(h.gone());
        }
    }

    void loadingRedrawsEveryOpenScreen() {
        Harness h("Cmd_Load", "Form_LoadSettings");
        QCOMPARE(h.dialog->windowTitle(), QString("Load Settings (*.dks)"));
        ValueSet values = h.f.store.values();
        values[2251] = 75; // treasury Cost, factory 50
        values[2679] = 1;  // last misc slot, factory 400
        test::writeBytes(h.folder + "/Current.dks", encodeSettings(values));
        test::writeBytes(h.folder + "/Short.dks", "abcd");
        test::writeBytes(h.folder + "/Gone.dks", encodeSettings(values));
        test::makeFolders(h.folder + "/gone");
        h.click("Cmd_2");
        QWidget* room = h.f.context.window("Form_RoomSettings");
        auto* treasury = room->findChild<QLabel*>("Label_Stat(2)");
        h.browse();
        QCOMPARE(h.files()->count(), 3);

        // Taking the focus chooses nothing. A file and a folder that vanish once listed, a file
        // too short and a volume that went away are told, and the lists show what is there.
        const ValueSet before = h.f.store.values();
        h.files()->setFocus();
        std::filesystem::remove(h.folder + "/Gone.dks");
        std::filesystem::remove(h.folder + "/gone");
        h.clickFile("Gone.dks");
        QCOMPARE(h.files()->currentItem()->text(), QString("Short.dks")); // where Gone.dks stood
        QVERIFY(h.files()->selectedItems().isEmpty());                    // though not chosen
        auto* dirs = qobject_cast<screens::DirList*>(test::child(h.dialog, "Dir"));
        const QString gone = QString::fromStdString(h.folder + "/gone");
        const QPoint at = dirs->visualItemRect(dirs->itemFor(gone)).center();
        QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, at); // a double click's first
        QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, at);
        h.clickFile("Short.dks");
        auto* drives = qobject_cast<screens::DriveList*>(test::child(h.dialog, "Drive"));
        drives->addDrive(QString::fromStdString(h.dir.file("gone")), "gone");
        drives->setCurrentIndex(drives->count() - 1);
        QCOMPARE(h.messages(), QStringList({"Unable to access file.", "The folder can't be found.",
                                            "Unable to load the file. It is too short to be a "
                                            "settings file, so no values have been changed.",
                                            "There is no disc in the drive or the device is "
                                            "unavailable."}));
        QVERIFY(h.files()->count() == 2 && !dirs->itemFor(gone) && h.f.store.values() == before);
        QVERIFY(!h.gone());

        QTest::keyClick(h.files(), Qt::Key_Up); // the line above, chosen with the keyboard
        QVERIFY(h.f.store.values() == values);
        QCOMPARE(treasury->text(), QString("75"));
        QCOMPARE(treasury->palette().color(QPalette::Window), QColor(220, 255, 220));
        QCOMPARE(h.welcome(), QString("File loaded."));
        QVERIFY(h.gone());
        QCOMPARE(h.f.seam.shown.size(), std::size_t{4});
    }
};

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
