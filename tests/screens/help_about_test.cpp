#include <QtTest>

#include "core/editor_state.h"
#include "screens/screen_test_support.h"
#include "screens/widgets/value_row.h"

using namespace tavrel;

namespace {

QWidget* open(test::MainHarness& h, const QString& command, const QString& window) {
    h.click(command);
    QWidget* opened = h.f.context.window(window);
    if (!opened || !opened->isVisible())
        qWarning("%s did not open %s", qPrintable(command), qPrintable(window));
    return opened;
}

QString tip(int number) {
    const std::string_view t = tipText(number);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

} // namespace

class HelpAboutTest : public QObject {
    Q_OBJECT
private slots:
    void helpShowsColoursPagesAndReopensOnTheLastTipAboutShowsTheVersion() {
        test::MainHarness h;
        h.start();
        QPointer<QWidget> help = open(h, "Cmd_Help", "Form_Help");
        // The colours the screens use.
        const QList<std::pair<QString, QColor>> samples = {{"Low", QColor(255, 220, 220)},
                                                           {"Default", QColor(255, 255, 255)},
                                                           {"High", QColor(220, 255, 220)},
                                                           {"Button Click", QColor(235, 235, 235)}};
        for (int i = 0; i < samples.size(); ++i) {
            auto* label = qobject_cast<QLabel*>(
                test::child(help, QStringLiteral("Label_Stat(%1)").arg(i + 1)));
            QCOMPARE(label->text(), samples[i].first);
            QCOMPARE(label->palette().color(QPalette::Window), samples[i].second);
        }
        QPushButton* next = test::button(help, "Cmd_Next");
        QPushButton* previous = test::button(help, "Cmd_Previous");
        const auto showing = [&](int number) {
            return test::textOf(help, "Label_Tip_Number") ==
                       QStringLiteral("%1 of 10").arg(number) &&
                   test::textOf(help, "Label_Tip") == tip(number) &&
                   previous->isEnabled() == (number > 1) && next->isEnabled() == (number < 10);
        };
        QVERIFY(showing(1));
        for (int i = 2; i <= 10; ++i) {
            QTest::mouseClick(next, Qt::LeftButton);
            QVERIFY2(showing(i), qPrintable(test::textOf(help, "Label_Tip_Number")));
        }
        QTest::mouseClick(next, Qt::LeftButton); // greyed: nothing
        QVERIFY(showing(10));
        for (int i = 10; i > 7; --i)
            QTest::mouseClick(previous, Qt::LeftButton);
        help->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!help);
        help = open(h, "Cmd_Help", "Form_Help");
        next = test::button(help, "Cmd_Next");
        previous = test::button(help, "Cmd_Previous");
        QVERIFY(showing(7));

        QWidget* about = open(h, "Cmd_About", "Form_About");
        QCOMPARE(about->windowTitle(), QString("About"));
        QCOMPARE(test::textOf(about, "Label_Version"), QString("Version 1.0.3"));
    }
};

QTEST_MAIN(HelpAboutTest)
#include "help_about_test.moc"
