#include "screens/widgets/marking.h"

#include <QWidget>

#include "screens/widgets/value_row.h"

namespace tavrel::screens {

QColor abilityColour(AbilityTone tone) {
    switch (tone) {
    case AbilityTone::Grey:
        return kColourGreyText;
    case AbilityTone::Red:
        return kColourRedText;
    case AbilityTone::Changed:
        return kColourChangedFlag;
    case AbilityTone::Black:
        break;
    }
    return kColourText;
}

void setPaletteColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette colours = widget->palette();
    colours.setColor(role, colour);
    widget->setPalette(colours);
}

void markChoice(QWidget* combo, bool changed) {
    const QColor& colour = changed ? kColourChangedChoice : kColourEqual;
    // A closed drop-down list paints its face with Button, an editable one with Base.
    setPaletteColour(combo, QPalette::Button, colour);
    setPaletteColour(combo, QPalette::Base, colour);
}

void markFlag(QWidget* check, bool changed) {
    setPaletteColour(check, QPalette::WindowText, changed ? kColourChangedFlag : kColourText);
}

QColor backgroundOf(const QWidget* combo) {
    return combo->palette().color(QPalette::Button);
}

QColor textColourOf(const QWidget* check) {
    return check->palette().color(QPalette::WindowText);
}

} // namespace tavrel::screens
