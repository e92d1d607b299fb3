#include "screens/creatures/ability_picker.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

#include "editing/ability_codes.h"
#include "screens/creatures/creature_screen.h"
#include "screens/widgets/marking.h"
#include "screens/widgets/value_row.h"

namespace tavrel::screens {

namespace {

QString fromCore(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

SlotRef targetOf(const EditorState& state) {
    return SlotRef::creature(state.AbilityPickTarget[0],
                             kFieldPower1 + state.AbilityPickTarget[1] - 1);
}

// The left column holds the first 17 names, "None" to "Slow (Projectile)"; "Dig" and
// "Claim Any Tile" stand a little apart from the names above them.
constexpr std::size_t kLeftColumn = 17;
constexpr std::int32_t kGapBefore[] = {39, 31};

} // namespace

Form_InputAbility::Form_InputAbility(AppContext& context)
    : QWidget(nullptr, Qt::Dialog), context_(context) {
    setObjectName(kInputAbilityName);
    setWindowTitle(QStringLiteral("Select Ability"));
    auto* abilities = new QGroupBox(QStringLiteral("Abilities"), this);
    auto* columns = new QHBoxLayout(abilities);
    columns->setSpacing(16);
    QVBoxLayout* column = nullptr;
    const auto& order = abilityStepOrder();
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::int32_t code = order[i];
        if (i == 0 || i == kLeftColumn) {
            column = new QVBoxLayout;
            column->setSpacing(1);
            columns->addLayout(column);
        }
        if (std::find(std::begin(kGapBefore), std::end(kGapBefore), code) != std::end(kGapBefore))
            column->addSpacing(fontMetrics().height() / 2);
        auto* label = new PressLabel(fromCore(*abilityPickerName(code)), abilities);
        label->setObjectName(QStringLiteral("Label_Ability(%1)").arg(code));
        label->setFrameShape(QFrame::NoFrame);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setContentsMargins(4, 1, 4, 1);
        switch (abilityClass(code)) {
        case AbilityClass::Empty:
            label->setTextColour(kColourGreyText);
            break;
        case AbilityClass::Red:
            label->setTextColour(kColourRedText);
            break;
        default:
            break;
        }
        label->setOnRelease([this, code](int, int) { chosen(code); });
        labels_[code] = label;
        column->addWidget(label);
    }
    column->addStretch();
    auto* currentFrame = new QGroupBox(QStringLiteral("Current Ability"), this);
    current_ = new QLabel(currentFrame);
    current_->setObjectName(QStringLiteral("Label_CurrentAbility"));
    auto* currentLayout = new QVBoxLayout(currentFrame);
    currentLayout->addWidget(current_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(abilities);
    layout->addWidget(currentFrame);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    showCurrent();
}

void Form_InputAbility::showCurrent() {
    const std::int32_t code = context_.store.value(targetOf(context_.state));
    const auto found = labels_.find(code);
    current_->setText(found != labels_.end() ? found->second->text() : QStringLiteral("Unknown"));
}

void Form_InputAbility::chosen(int code) {
    // Stored for the kind and slot the picker was opened for, whatever the creature
    // screen shows by now.
    context_.store.set(targetOf(context_.state), code);
    refreshCreatureScreen(context_);
    close();
}

void showCurrentAbility(AppContext& context) {
    if (auto* picker = qobject_cast<Form_InputAbility*>(context.window(kInputAbilityName)))
        picker->showCurrent();
}

QWidget* openAbilityPicker(AppContext& context) {
    QWidget* picker = context.openWindow(kInputAbilityName,
                                         [&context] { return new Form_InputAbility(context); });
    showCurrentAbility(context);
    return picker;
}

} // namespace tavrel::screens
