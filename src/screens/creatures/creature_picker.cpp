#include "screens/creatures/creature_picker.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/catalogue.h"
#include "editing/creature_choices.h"
#include "screens/creatures/compare_creatures.h"
#include "screens/creatures/creature_screen.h"
#include "screens/widgets/fit_window.h"

namespace tavrel::screens {

Form_Creatures::Form_Creatures(AppContext& context)
    : QWidget(nullptr, Qt::Window), context_(context) {
    setObjectName(kCreaturesName);
    setWindowTitle(QStringLiteral("Creatures"));
    // The buttons follow the creature lists' order: bad guys, then good guys.
    const auto& order = creatureListOrder();
    auto* content = new QWidget(this);
    auto* bad = new QGroupBox(QStringLiteral("Bad Guys"), content);
    auto* good = new QGroupBox(QStringLiteral("Good Guys"), content);
    auto* badColumn = new QVBoxLayout(bad);
    auto* goodColumn = new QVBoxLayout(good);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const bool isBad = i < static_cast<std::size_t>(kBadGuys);
        const int index = isBad ? static_cast<int>(i) + 1 : static_cast<int>(i) - kBadGuys + 1;
        const int kind = order[i];
        const std::string_view name = creatureKind(kind).screenName;
        auto* button =
            new QPushButton(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                            isBad ? bad : good);
        button->setObjectName(
            QStringLiteral("%1(%2)").arg(isBad ? "Cmd_BadGuys" : "Cmd_GoodGuys").arg(index));
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 40);
        (isBad ? badColumn : goodColumn)->addWidget(button);
        connect(button, &QPushButton::clicked, this,
                [this, kind] { openCreatureScreen(context_, kind); });
    }
    goodColumn->addStretch();
    auto* compare = new QPushButton(QStringLiteral("Compare Creatures..."), good);
    compare->setObjectName(QStringLiteral("Cmd_Compare"));
    compare->setToolTip(QStringLiteral("All creatures side by side, as in a spreadsheet"));
    goodColumn->addWidget(compare);
    connect(compare, &QPushButton::clicked, this, [this] { openCompareCreatures(context_); });
    auto* layout = new QHBoxLayout(content);
    layout->addWidget(bad);
    layout->addWidget(good);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->activate();
    fitOnScreen(this, content);
}

QWidget* openCreaturePicker(AppContext& context) {
    return context.openWindow(kCreaturesName, [&context] { return new Form_Creatures(context); });
}

} // namespace tavrel::screens
