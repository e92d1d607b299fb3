#include "screens/about.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tavrel::screens {

Form_About::Form_About(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form_About"));
    setWindowTitle(QStringLiteral("About"));

    auto* description = new QLabel(
        QStringLiteral("Tavrel, the unofficial editor of Dungeon Keeper's CREATURE.TXT."), this);
    description->setObjectName(QStringLiteral("Label1"));
    QFont bold = description->font();
    bold.setBold(true);
    description->setFont(bold);
    auto* version = new QLabel(this);
    version->setObjectName(QStringLiteral("Label_Version"));
    version->setText(QStringLiteral("Version ") + QLatin1String(kVersion));
    auto* terms = new QLabel(
        QStringLiteral("Free of charge and without any warranty; use it at your own risk."), this);
    terms->setObjectName(QStringLiteral("Label2"));
    auto* credit =
        new QLabel(QStringLiteral("Dungeon Keeper is a game by Bullfrog Productions."), this);
    credit->setObjectName(QStringLiteral("Label3"));

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    layout->setContentsMargins(20, 16, 20, 16);
    for (QLabel* label : {description, version, terms, credit}) {
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace tavrel::screens
