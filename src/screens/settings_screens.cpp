#include "screens/settings_screens.h"

namespace tavrel::screens {

QString settingsScreenName(Category category) {
    switch (category) {
    case Category::Creature:
        return QStringLiteral("Form_CreatureSettings");
    case Category::Room:
        return QStringLiteral("Form_RoomSettings");
    case Category::Magic:
        return QStringLiteral("Form_MagicSettings");
    case Category::Research:
        return QStringLiteral("Form_ResearchSettings");
    case Category::TrapDoor:
        return QStringLiteral("Form_TrapAndDoorSettings");
    case Category::Ability:
        return QStringLiteral("Form_AbilitySettings");
    case Category::Misc:
        return QStringLiteral("Form_MiscellaneousSettings");
    }
    return {};
}

// Placeholder until the screens exist: an empty window of the right name.
QWidget* openSettingsScreen(AppContext& context, Category category) {
    return context.openWindow(settingsScreenName(category), [] { return new QWidget; });
}

} // namespace tavrel::screens
