#include "screens/widgets/marking.h"

#include <QWidget>

#include "screens/widgets/value_row.h"

namespace tavrel::screens {

void markChoice(QWidget* combo, bool changed) {
    QPalette colours = combo->palette();
    const QColor& colour = changed ? kColourChangedChoice : kColourEqual;
    // A closed drop-down list paints its face with Button, an editable one with Base.
    colours.setColor(QPalette::Button, colour);
    colours.setColor(QPalette::Base, colour);
    combo->setPalette(colours);
}

void markFlag(QWidget* check, bool changed) {
    QPalette colours = check->palette();
    colours.setColor(QPalette::WindowText, changed ? kColourChangedFlag : kColourText);
    check->setPalette(colours);
}

QColor backgroundOf(const QWidget* combo) {
    return combo->palette().color(QPalette::Button);
}

QColor textColourOf(const QWidget* check) {
    return check->palette().color(QPalette::WindowText);
}

} // namespace tavrel::screens
