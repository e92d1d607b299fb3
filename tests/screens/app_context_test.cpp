#include <QtTest>

#include "screens/screen_test_support.h"

using namespace tavrel;

class AppContextTest : public QObject {
    Q_OBJECT
private slots:
    void opensOneWindowPerNameAndRefreshesInOrder() {
        test::ScreenFixture f;
        int made = 0;
        auto make = [&] {
            ++made;
            return new QWidget;
        };
        QWidget* first = f.context.openWindow("Form_Help", make);
        QWidget* second = f.context.openWindow("Form_Help", make);
        QCOMPARE(first, second);
        QCOMPARE(made, 1);
        QCOMPARE(first->objectName(), QString("Form_Help"));
        first->close(); // deleted on close: the next open makes a new one
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f.context.window("Form_Help"));
        f.context.openWindow("Form_Help", make)->close();
        QCOMPARE(made, 2);

        QString order;
        f.context.setRefresher(screens::RefreshOrder::InputValue, [&] { order += "i"; });
        f.context.setRefresher(screens::RefreshOrder::Misc, [&] { order += "m"; });
        f.context.setRefresher(screens::RefreshOrder::Room, [&] { order += "r"; });
        f.context.refreshAll();
        QCOMPARE(order, QString("rmi"));
        f.context.clearRefresher(screens::RefreshOrder::Misc);
        f.context.refreshAll();
        QCOMPARE(order, QString("rmiri"));
    }
};

QTEST_MAIN(AppContextTest)
#include "app_context_test.moc"
