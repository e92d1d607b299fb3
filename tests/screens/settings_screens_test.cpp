#include <QtTest>

#include <QGroupBox>
#include <QLabel>

#include "screens/screen_test_support.h"
#include "screens/tables/settings_screens.h"
#include "screens/widgets/value_row.h"

using namespace tavrel;

namespace {

// A value's place on its screen: the caption of its row (the row below it for a
// second row of a group, such as a spell's power row) and the heading of its column.
struct Place {
    Category category;
    const char* frame;
    const char* caption;
    int rowInGroup;
    const char* heading;
    int slot;
};

const Place kPlaces[] = {
    {Category::Room, "Rooms", "Treasury:", 0, "Cost", 2},
    {Category::Room, "Rooms", "Treasury:", 0, "Health", 3},
    {Category::Room, "Rooms", "Dungeon Heart:", 0, "Health", 12},
    {Category::Magic, "Spells", "Hold Audience", 0, "Time", 216},
    {Category::Magic, "Spells", "Sight of Evil", 1, "1", 22},
    {Category::Research, "Spells", "Destroy Walls:", 0, "Work Required", 29},
    {Category::TrapDoor, "Traps", "Boulder:", 0, "Speed", 40},
    {Category::TrapDoor, "Doors", "Magic:", 0, "Health", 36},
    {Category::Ability, "Abilities", "Homing Missile (Projectile):", 0, "Speed", 61},
    {Category::Misc, "Blocks", "Gold:", 0, "Value", 21},
    {Category::Misc, "Food", "Health Lost When Hungry:", 0, "Time", 28},
};

QGroupBox* frameTitled(QWidget* screen, const QString& title) {
    for (QGroupBox* box : screen->findChildren<QGroupBox*>())
        if (box->title() == title)
            return box;
    return nullptr;
}

// The plain text label (caption, heading or note) of a frame with this text.
QLabel* textLabel(QWidget* frame, const QString& text) {
    for (QLabel* label : frame->findChildren<QLabel*>())
        if (!qobject_cast<screens::PressLabel*>(label) && label->text() == text)
            return label;
    return nullptr;
}

QRect onScreen(QWidget* widget, QWidget* screen) {
    return QRect(widget->mapTo(screen, QPoint(0, 0)), widget->size());
}

// Every text of a screen is whole, inside its frame, and overlaps no other.
void checkTextsWhole(QWidget* screen, const QString& name) {
    const auto frames = screen->findChildren<QGroupBox*>();
    for (QGroupBox* frame : frames) {
        QVERIFY2(frame->parentWidget()->rect().contains(frame->geometry()),
                 qPrintable(frame->title()));
        for (QGroupBox* other : frames)
            QVERIFY(other == frame || !other->geometry().intersects(frame->geometry()));
        const auto labels = frame->findChildren<QLabel*>();
        for (QLabel* label : labels) {
            const QString what = name + " " + label->objectName() + " " + label->text();
            QVERIFY2(frame->rect().contains(label->geometry()), qPrintable(what));
            QVERIFY2(label->wordWrap() || label->fontMetrics().horizontalAdvance(label->text()) <=
                                              label->contentsRect().width(),
                     qPrintable(what));
            for (QLabel* other : labels)
                QVERIFY2(other == label || !other->geometry().intersects(label->geometry()),
                         qPrintable(what + " / " + other->text()));
        }
    }
    // An eight-digit value fits its label.
    auto* stat = screen->findChild<QLabel*>("Label_Stat(1)");
    QVERIFY(stat->fontMetrics().horizontalAdvance("16777215") < stat->contentsRect().width());
}

} // namespace

class SettingsScreensTest : public QObject {
    Q_OBJECT
private slots:
    // Every slot of a screen has one row of "-", value and "+", side by side; every
    // text is whole and nothing overlaps.
    void everySlotHasOneRowAndEveryTextIsWhole() {
        const std::tuple<Category, const char*, int> screensTitlesAndSlots[] = {
            {Category::Room, "Room Settings", 30},
            {Category::Magic, "Magic Settings", 216},
            {Category::Research, "Research Settings", 29},
            {Category::TrapDoor, "Trap and Door Settings", 40},
            {Category::Ability, "Ability Settings", 87},
            {Category::Misc, "Miscellaneous Settings", 28}};
        for (const auto& [category, title, rows] : screensTitlesAndSlots) {
            test::ScreenFixture f;
            QWidget* screen = screens::openSettingsScreen(f.context, category);
            QCOMPARE(screen->windowTitle(), QString(title));
            QCOMPARE(int(screen->findChildren<screens::PressLabel*>().size()), 3 * rows);
            for (int slot = 1; slot <= rows; ++slot) {
                const auto at = [&](const char* kind) {
                    auto* found = screen->findChild<QLabel*>(
                        QStringLiteral("%1(%2)").arg(QLatin1String(kind)).arg(slot));
                    return found ? onScreen(found, screen) : QRect();
                };
                const QRect cell = at("Label_Stat"), less = at("Label_Less"),
                            more = at("Label_More");
                QVERIFY2(cell.isValid() && less.top() == cell.top() && more.top() == cell.top() &&
                             less.right() < cell.left() && more.left() > cell.right() &&
                             more.left() - less.right() < 2 * cell.width(),
                         qPrintable(QStringLiteral("%1 slot %2").arg(title).arg(slot)));
            }
            checkTextsWhole(screen, title);
        }
    }

    // A value stands in its caption's row and under its column's heading.
    void valuesStandInTheirRowAndColumn() {
        for (const Place& p : kPlaces) {
            test::ScreenFixture f;
            QWidget* screen = screens::openSettingsScreen(f.context, p.category);
            const QString where = QStringLiteral("%1 %2 %3").arg(p.caption, p.heading).arg(p.slot);
            QGroupBox* frame = frameTitled(screen, p.frame);
            QVERIFY2(frame, p.frame);
            // The doors' columns stand under the traps' headings.
            QGroupBox* headingFrame =
                QString(p.frame) == "Doors" ? frameTitled(screen, "Traps") : frame;
            QLabel* caption = textLabel(frame, p.caption);
            QLabel* heading = textLabel(headingFrame, p.heading);
            auto* stat = frame->findChild<QLabel*>(QStringLiteral("Label_Stat(%1)").arg(p.slot));
            QVERIFY2(caption && heading && stat, qPrintable(where));
            const QRect cell = onScreen(stat, screen);
            const QRect captionRect = onScreen(caption, screen);
            const QRect headingRect = onScreen(heading, screen);
            const int rowOffset = cell.center().y() - captionRect.center().y();
            QVERIFY2(rowOffset >= p.rowInGroup * cell.height() &&
                         rowOffset <= p.rowInGroup * (cell.height() + 10),
                     qPrintable(where));
            QVERIFY2(std::abs(cell.center().x() - headingRect.center().x()) <= cell.width() / 4 &&
                         cell.top() > headingRect.bottom(),
                     qPrintable(where));
        }
    }
};

QTEST_MAIN(SettingsScreensTest)
#include "settings_screens_test.moc"
