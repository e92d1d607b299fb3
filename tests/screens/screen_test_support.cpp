#include "screens/screen_test_support.h"

#include <QtTest>

#include <filesystem>

#include "core/factory_defaults.h"
#include "gamefile/writer.h"

namespace tavrel::test {

namespace {
const QStringList kGameCommands = {"Cmd_Load", "Cmd_Save", "Cmd_Restore", "Cmd_Apply",
                                   "Cmd_1",    "Cmd_2",    "Cmd_3",       "Cmd_4",
                                   "Cmd_5",    "Cmd_6",    "Cmd_7"};
} // namespace

void RecordingSeam::inform(QWidget*, const QString& text) {
    shown.push_back({text, {}});
}

bool RecordingSeam::ask(QWidget*, const QString& text, const QString& title) {
    shown.push_back({text, title});
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

int RecordingSeam::choose(QWidget*, const QString& text, const QString& title, const QStringList&) {
    shown.push_back({text, title});
    const int choice = choices.empty() ? -1 : choices.front();
    if (!choices.empty())
        choices.pop_front();
    return choice;
}

int RecordingSeam::askChoice(QWidget*, const screens::ChoiceQuestion& question) {
    AskedChoice asking{question.choices, question.preferred, {}, question.help};
    for (int i = 0; i < question.choices.size(); ++i)
        asking.texts << question.textFor(i);
    asked.push_back(asking);
    const int choice = choices.empty() ? -1 : choices.front();
    if (!choices.empty())
        choices.pop_front();
    shown.push_back({asking.texts.value(choice < 0 ? question.preferred : choice), question.title});
    return choice;
}

ScreenFixture::~ScreenFixture() {
    closeAllWindows();
}

void closeAllWindows() {
    for (QWidget* window : QApplication::topLevelWidgets())
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QWidget* child(QWidget* parent, const QString& name) {
    auto* found = parent->findChild<QWidget*>(name);
    if (!found)
        qWarning("no child widget called %s", qPrintable(name));
    return found;
}

QPushButton* button(QWidget* parent, const QString& name) {
    return qobject_cast<QPushButton*>(child(parent, name));
}

QString textOf(QWidget* parent, const QString& name) {
    auto* label = qobject_cast<QLabel*>(child(parent, name));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(name);
}

screens::PressLabel* rowLabel(QWidget* window, const char* kind, int index) {
    return qobject_cast<screens::PressLabel*>(
        child(window, QStringLiteral("%1(%2)").arg(QLatin1String(kind)).arg(index)));
}

void MainHarness::makeGame(bool withAddon, const std::string& content) {
    makeGameFolder(game, content.empty() ? renderGameFile(factoryDefaults()) : content, withAddon);
    std::filesystem::permissions(game + "/Data/CREATURE.TXT", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove); // as copied from the disc
}

void MainHarness::start() {
    main = std::make_unique<screens::Main>(f.context, config);
    main->setFinderEnvironment(computer);
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    main->load();
}

void MainHarness::startReady(bool withAddon) {
    makeGame(withAddon);
    configureGame();
    start();
    verifyReady();
    f.seam.shown.clear();
}

void MainHarness::click(const QString& name) const {
    QTest::mouseClick(button(name), Qt::LeftButton);
}

void MainHarness::verifyReady() const {
    for (const QString& name : kGameCommands + QStringList{"Cmd_Exit", "Cmd_About", "Cmd_Help"})
        QVERIFY2(button(name)->isEnabled(), qPrintable(QString(name)));
    QVERIFY(!button("Cmd_Locate")->isEnabled());
    QVERIFY2(welcome().endsWith("found."), qPrintable(welcome()));
}

void MainHarness::verifyNotFound() const {
    for (const char* name : {"Cmd_Exit", "Cmd_About", "Cmd_Help", "Cmd_Locate"})
        QVERIFY2(button(name)->isEnabled(), qPrintable(QString(name)));
    for (const QString& name : kGameCommands)
        QVERIFY2(!button(name)->isEnabled(), qPrintable(name));
    QCOMPARE(location(), QString());
    QCOMPARE(welcome(), QString("Welcome to the unofficial Dungeon Keeper editor."));
}

} // namespace tavrel::test
