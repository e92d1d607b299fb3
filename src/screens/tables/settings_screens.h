#pragma once

#include <QWidget>

#include "core/settings_store.h"
#include "screens/app_context.h"

namespace tavrel::screens {

// objectName of the settings screen of a category ("Form_RoomSettings", ...).
QString settingsScreenName(Category category);

// The place of a category's screen in the fixed redraw order.
RefreshOrder refreshOrderOf(Category category);

// Opens the settings screen of a category (room to miscellaneous) through the
// context's one-window rule and returns it.
QWidget* openSettingsScreen(AppContext& context, Category category);

} // namespace tavrel::screens
