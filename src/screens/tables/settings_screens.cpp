#include "screens/tables/settings_screens.h"

#include "screens/creatures/creature_screen.h"
#include "screens/input_value_dialog.h"
#include "screens/tables/screen_layouts.h"
#include "screens/tables/settings_screen.h"

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

RefreshOrder refreshOrderOf(Category category) {
    switch (category) {
    case Category::Creature:
        return RefreshOrder::CreatureSettings;
    case Category::Room:
        return RefreshOrder::Room;
    case Category::Magic:
        return RefreshOrder::Magic;
    case Category::Research:
        return RefreshOrder::Research;
    case Category::TrapDoor:
        return RefreshOrder::TrapDoor;
    case Category::Ability:
        return RefreshOrder::Ability;
    case Category::Misc:
        return RefreshOrder::Misc;
    }
    return RefreshOrder::CreatureSettings;
}

QWidget* openSettingsScreen(AppContext& context, Category category) {
    installValueEditing(context);
    if (category == Category::Creature)
        return openCreatureScreen(context, context.state.SelectedCreature);
    return context.openWindow(settingsScreenName(category), [&context, category] {
        return new SettingsScreen(context, screenLayout(category));
    });
}

} // namespace tavrel::screens
