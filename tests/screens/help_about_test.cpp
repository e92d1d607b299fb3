#include <QtTest>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <memory>

#include "core/editor_state.h"
#include "core/test_support.h"
#include "screens/main_window.h"
#include "screens/screen_test_support.h"

using namespace tavrel;

namespace {

struct Harness {
    test::ScreenFixture f;
    test::TempDir dir;
    std::unique_ptr<screens::Main> main;

    Harness() {
        main = std::make_unique<screens::Main>(f.context, dir.file("Tavrel.cfg"));
        main->show();
        main->load();
    }
    QWidget* open(const QString& command, const QString& window) {
        QTest::mouseClick(qobject_cast<QPushButton*>(test::child(main.get(), command)),
                          Qt::LeftButton);
        return f.context.window(window);
    }
};

QString text(QWidget* window, const QString& name) {
    return qobject_cast<QLabel*>(test::child(window, name))->text();
}

QPushButton* button(QWidget* window, const QString& name) {
    return qobject_cast<QPushButton*>(test::child(window, name));
}

QString tip(int number) {
    const std::string_view t = tipText(number);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

} // namespace

class HelpAboutTest : public QObject {
    Q_OBJECT
private slots:
    void helpShowsItsFramesAndColourSamples() {
        Harness h;
        QWidget* help = h.open("Cmd_Help", "Form_Help");
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->windowTitle(), QString("Help"));
        const QList<std::pair<QString, QString>> frames = {{"Frame1", "Set Up"},
                                                           {"Frame3", "Controls"},
                                                           {"Frame4", "Colour Changes"},
                                                           {"Frame2", "Tips"}};
        for (const auto& [name, title] : frames)
            QCOMPARE(qobject_cast<QGroupBox*>(test::child(help, name))->title(), title);
        QCOMPARE(text(help, "Label1"), QString("Welcome to the unofficial Dungeon Keeper editor."));
        QVERIFY(text(help, "Label2").startsWith("If you can't open any of the option screens"));

        const QList<std::tuple<int, QString, QColor>> samples = {
            {1, "Low", QColor(255, 220, 220)},
            {2, "Default", QColor(255, 255, 255)},
            {3, "High", QColor(220, 255, 220)},
            {4, "Button Click", QColor(235, 235, 235)},
        };
        for (const auto& [index, caption, colour] : samples) {
            auto* label = qobject_cast<QLabel*>(
                test::child(help, QStringLiteral("Label_Stat(%1)").arg(index)));
            QCOMPARE(label->text(), caption);
            QVERIFY(label->autoFillBackground());
            QCOMPARE(label->palette().color(QPalette::Window), colour);
        }
        // The two click tables of the Controls frame.
        QStringList captions;
        for (QLabel* label : test::child(help, "Frame3")->findChildren<QLabel*>())
            captions << label->text();
        for (const char* caption :
             {"( - / + ) Changes", "Text Box Changes", "Left Click", "Right Click", "Free",
              "Hold Shift", "1", "10", "100", "1000", "Manual Input", "Reset Value to Default"})
            QVERIFY2(captions.contains(caption), caption);
    }

    void helpPagesThroughTheTipsAndStopsAtBothEnds() {
        Harness h;
        QWidget* help = h.open("Cmd_Help", "Form_Help");
        QCOMPARE(text(help, "Label_Tip_Number"), QString("1 of 10"));
        QCOMPARE(text(help, "Label_Tip"), tip(1));
        QVERIFY(!button(help, "Cmd_Previous")->isEnabled());
        QVERIFY(button(help, "Cmd_Next")->isEnabled());
        for (int i = 2; i <= 10; ++i) {
            QTest::mouseClick(button(help, "Cmd_Next"), Qt::LeftButton);
            QCOMPARE(text(help, "Label_Tip_Number"), QStringLiteral("%1 of 10").arg(i));
            QCOMPARE(text(help, "Label_Tip"), tip(i));
        }
        QVERIFY(!button(help, "Cmd_Next")->isEnabled());
        QVERIFY(button(help, "Cmd_Previous")->isEnabled());
        QTest::mouseClick(button(help, "Cmd_Next"), Qt::LeftButton); // greyed: nothing
        QCOMPARE(text(help, "Label_Tip_Number"), QString("10 of 10"));
        QTest::mouseClick(button(help, "Cmd_Previous"), Qt::LeftButton);
        QCOMPARE(text(help, "Label_Tip_Number"), QString("9 of 10"));
        QVERIFY(button(help, "Cmd_Next")->isEnabled());
        for (int i = 8; i >= 1; --i)
            QTest::mouseClick(button(help, "Cmd_Previous"), Qt::LeftButton);
        QCOMPARE(text(help, "Label_Tip_Number"), QString("1 of 10"));
        QVERIFY(!button(help, "Cmd_Previous")->isEnabled());
    }

    void helpReopensOnTheLastTipViewed() {
        Harness h;
        QPointer<QWidget> help = h.open("Cmd_Help", "Form_Help");
        for (int i = 1; i < 7; ++i)
            QTest::mouseClick(button(help, "Cmd_Next"), Qt::LeftButton);
        help->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!help);
        QWidget* again = h.open("Cmd_Help", "Form_Help");
        QCOMPARE(text(again, "Label_Tip_Number"), QString("7 of 10"));
        QCOMPARE(text(again, "Label_Tip"), tip(7));
        QVERIFY(button(again, "Cmd_Previous")->isEnabled());
        QVERIFY(button(again, "Cmd_Next")->isEnabled());
    }

    void aboutShowsTheVersion() {
        Harness h;
        QWidget* about = h.open("Cmd_About", "Form_About");
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->windowTitle(), QString("About"));
        QCOMPARE(text(about, "Label_Version"), QString("Version 1.0.3"));
        for (const char* name : {"Label1", "Label2", "Label3"})
            QVERIFY(!text(about, name).isEmpty());
    }
};

QTEST_MAIN(HelpAboutTest)
#include "help_about_test.moc"
