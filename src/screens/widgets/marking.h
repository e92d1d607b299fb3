#pragma once

#include <QColor>
#include <QPalette>

#include "editing/ability_codes.h"

class QWidget;

// The creature screen's marks for choices and flags that differ from their factory
// values, and its ability colours.
namespace tavrel::screens {

inline const QColor kColourChangedChoice{220, 255, 220}; // background of a list, combo box
inline const QColor kColourChangedFlag{0, 125, 0};       // text of a check box or ability
inline const QColor kColourGreyText{125, 125, 125};      // an empty ability
inline const QColor kColourRedText{225, 0, 0};           // a partly supported ability
// A name, job list or flag in Compare Creatures that differs from its default: neither
// more nor less than it, so apart from the value colours' above and below pair.
inline const QColor kColourChangedCode{255, 240, 170};

// The text colour of an ability's name.
QColor abilityColour(AbilityTone tone);

// Sets one colour of a widget's own palette, leaving the others as they are: every
// mark and colour of the screens is drawn this way.
void setPaletteColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);

// White or changed-choice green behind a combo box.
void markChoice(QWidget* combo, bool changed);
// Black or changed-flag green text of a check box.
void markFlag(QWidget* check, bool changed);

QColor backgroundOf(const QWidget* combo);
QColor textColourOf(const QWidget* check);

} // namespace tavrel::screens
