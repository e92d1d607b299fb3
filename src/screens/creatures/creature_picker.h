#pragma once

#include <QWidget>

#include "screens/app_context.h"

namespace tavrel::screens {

inline const QString kCreaturesName = QStringLiteral("Form_Creatures");

// The creature picker: one button per kind, the keeper's creatures ("Bad Guys") on
// the left and the heroes ("Good Guys") on the right. A click shows that kind on the
// creature screen; the picker stays open.
class Form_Creatures : public QWidget {
    Q_OBJECT
public:
    explicit Form_Creatures(AppContext& context);

private:
    AppContext& context_;
};

// Opens the picker modeless, never a second one.
QWidget* openCreaturePicker(AppContext& context);

} // namespace tavrel::screens
