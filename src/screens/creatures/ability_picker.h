#pragma once

#include <QWidget>

#include <map>

#include "screens/app_context.h"

class QLabel;

namespace tavrel::screens {

class PressLabel;

inline const QString kInputAbilityName = QStringLiteral("Form_InputAbility");

// The ability picker: every offered ability by name, for the creature kind and
// ability slot in state.AbilityPickTarget. A click on a name stores it there and
// closes the picker.
class Form_InputAbility : public QWidget {
    Q_OBJECT
public:
    explicit Form_InputAbility(AppContext& context);

    // The target slot's ability in the "Current Ability" line.
    void showCurrent();

private:
    void chosen(int code);

    AppContext& context_;
    std::map<int, PressLabel*> labels_; // by ability code
    QLabel* current_;
};

// ShowCurrentAbility: brings an existing picker's current ability in step with its
// target; a picker opened later shows it from the start.
void showCurrentAbility(AppContext& context);

// Opens the picker modeless for state.AbilityPickTarget, or retargets the open one.
QWidget* openAbilityPicker(AppContext& context);

} // namespace tavrel::screens
