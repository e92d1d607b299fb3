#include <QtTest>

#include "screens/screen_test_support.h"

using namespace tavrel;

class AppContextTest : public QObject {
    Q_OBJECT
private slots:
    // One window per name is pinned through the main window's commands.
    void refreshesInOrder() {
        test::ScreenFixture f;
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
