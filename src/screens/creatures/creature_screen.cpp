#include "screens/creatures/creature_screen.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/catalogue.h"
#include "core/editor_state.h"
#include "editing/ability_codes.h"
#include "editing/creature_choices.h"
#include "editing/creature_grid.h"
#include "editing/stepping.h"
#include "screens/creatures/ability_picker.h"
#include "screens/input_value_dialog.h"
#include "screens/widgets/check_list.h"
#include "screens/widgets/fit_window.h"
#include "screens/widgets/marking.h"

namespace tavrel::screens {

namespace {

// The caption of value row i (1..50), beside the row.
const std::array<const char*, 50>& kRowCaptions = creatureRowCaptions();

constexpr int kFirstLevelRow = 22; // row 22 + i is the level of ability i
constexpr int kFirstSizeRow = 36;  // row 36 + n is the size of entrance room n
constexpr int kRowSpacing = 2;

// What value row i is, in words: a caption and, for rows in a headed column, the
// heading. The numbered rows' captions ("1.") say little on their own.
std::pair<QString, QString> rowName(int index) {
    QString caption = QLatin1String(kRowCaptions.at(static_cast<std::size_t>(index - 1)));
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    if (index > kFirstLevelRow && index <= kFirstLevelRow + 10)
        return {QStringLiteral("Ability %1").arg(index - kFirstLevelRow), QStringLiteral("Level")};
    if (index > kFirstSizeRow && index <= kFirstSizeRow + 3)
        return {QStringLiteral("Entry Room %1").arg(index - kFirstSizeRow), QStringLiteral("Size")};
    if (index >= 13 && index < kFirstLevelRow)
        return {caption, QStringLiteral("Work Required")};
    return {caption, QString()};
}

QString fromCore(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

QGroupBox* frame(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    return box;
}

QGridLayout* gridOf(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(kRowSpacing);
    grid->setHorizontalSpacing(8);
    grid->setContentsMargins(8, 4, 8, 6);
    return grid;
}

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QLabel* note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

bool isCreatureList(int field) {
    return field == kFieldGrowUp || field == kFieldLairEnemy;
}

QStringList creatureItems(const char* first) {
    QStringList items{QLatin1String(first)};
    for (int kind : creatureListOrder())
        items << fromCore(creatureKind(kind).screenName);
    return items;
}

QStringList roomItems() {
    QStringList items;
    for (const EntryRoom& room : entryRoomList())
        items << fromCore(room.caption);
    return items;
}

template <std::size_t N> QStringList captionsOf(const std::array<std::string_view, N>& captions) {
    QStringList items;
    for (std::string_view caption : captions)
        items << fromCore(caption);
    return items;
}

constexpr std::array<CreatureFlag, 4> kMiscFlags = {
    CreatureFlag::ImmuneToGas, CreatureFlag::NotBlownByWind, CreatureFlag::SeeInvisible,
    CreatureFlag::LockedDoors};

} // namespace

QString creatureFieldCaption(int field) {
    return QString::fromStdString(creatureFieldName(field));
}

Form_CreatureSettings::Form_CreatureSettings(AppContext& context)
    : QWidget(nullptr, Qt::Window), context_(context) {
    setObjectName(kCreatureSettingsName);
    setWindowTitle(QStringLiteral("Creature Settings"));

    // Screen load: the program fills the lists, which must not count as choices.
    const bool updating = context_.state.CreatureScreenUpdating;
    context_.state.CreatureScreenUpdating = true;

    auto* top = new QHBoxLayout;
    top->addWidget(attributesFrame(), 0, Qt::AlignTop);
    top->addWidget(trainingFrame(), 0, Qt::AlignTop);
    top->addWidget(abilitiesFrame(), 0, Qt::AlignTop);
    top->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(jobsFrame());
    bottom->addWidget(behaviourFrame());
    bottom->addStretch();
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addLayout(bottom);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(moneyFrame());
    right->addWidget(entryFrame());
    right->addWidget(miscFrame());
    right->addStretch();
    auto* content = new QWidget(this);
    auto* layout = new QHBoxLayout(content);
    layout->addLayout(left);
    layout->addLayout(right);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->activate();
    fitOnScreen(this, content);

    for (const auto& row : rows_)
        if (row)
            row->resetStepLabels();
    for (QComboBox* combo : {training_, hated_, entry_[0], entry_[1], entry_[2]})
        combo->setCurrentIndex(0);
    context_.state.CreatureScreenUpdating = updating;
}

Form_CreatureSettings::~Form_CreatureSettings() {
    released();
}

void Form_CreatureSettings::closeEvent(QCloseEvent* event) {
    released();
    QWidget::closeEvent(event);
}

void Form_CreatureSettings::released() {
    if (!released_)
        context_.state.CreatureScreenOpen = false;
    released_ = true;
}

void Form_CreatureSettings::addValueRow(QGridLayout* grid, int line, int index,
                                        const QString& caption, int column) {
    QWidget* parent = grid->parentWidget();
    const int field = creatureStatField(index);
    auto& row = rows_.at(static_cast<std::size_t>(index));
    const auto [name, heading] = rowName(index);
    const QString where = name + (heading.isEmpty() ? QString() : QStringLiteral(", ") + heading);
    row = std::make_unique<ValueRow>(
        context_, parent, index,
        ValueRow::Hooks{
            [this, field] { return SlotRef::creature(context_.state.SelectedCreature, field); },
            [this] { refreshCreatureScreen(context_); },
            (name + QLatin1Char(' ') + heading).trimmed(),
            // The title names the creature shown at the time of the click.
            [this, where] { return windowTitle() + QStringLiteral(": ") + where; }});
    if (!caption.isEmpty())
        grid->addWidget(new QLabel(caption, parent), line, 0);
    auto* cells = new QHBoxLayout;
    cells->setSpacing(1);
    cells->addWidget(row->less());
    cells->addWidget(row->stat());
    cells->addWidget(row->more());
    grid->addLayout(cells, line, column, Qt::AlignRight);
}

QGroupBox* Form_CreatureSettings::attributesFrame() {
    QGroupBox* box = frame(QStringLiteral("Attributes"), this);
    QGridLayout* grid = gridOf(box);
    for (int index = 1; index <= 8; ++index)
        addValueRow(grid, index - 1, index, QLatin1String(kRowCaptions[index - 1]));
    grid->addWidget(heading(QStringLiteral("Skills"), box), 8, 0, 1, 2);
    for (int index = 9; index <= 12; ++index)
        addValueRow(grid, index, index, QLatin1String(kRowCaptions[index - 1]));
    return box;
}

QGroupBox* Form_CreatureSettings::trainingFrame() {
    QGroupBox* box = frame(QStringLiteral("Training"), this);
    QGridLayout* grid = gridOf(box);
    grid->addWidget(heading(QStringLiteral("Work Required"), box), 0, 1);
    for (int index = 13; index <= 22; ++index)
        addValueRow(grid, index - 12, index, QLatin1String(kRowCaptions[index - 1]));
    training_ =
        addCombo(box, QStringLiteral("Combo_Training"), creatureItems("No Change"), kFieldGrowUp);
    grid->addWidget(training_, 11, 0, 1, 2);
    return box;
}

QGroupBox* Form_CreatureSettings::abilitiesFrame() {
    QGroupBox* box = frame(QStringLiteral("Abilities"), this);
    QGridLayout* grid = gridOf(box);
    grid->addWidget(heading(QStringLiteral("Ability"), box), 0, 1, 1, 3);
    grid->addWidget(heading(QStringLiteral("Level"), box), 0, 4);
    int nameWidth = 0;
    for (std::int32_t code = 0; code < 40; ++code)
        nameWidth =
            std::max(nameWidth, fontMetrics().horizontalAdvance(fromCore(abilityScreenName(code))));
    for (int slot = 1; slot <= kAbilitySlots; ++slot) {
        const auto at = static_cast<std::size_t>(slot - 1);
        auto* previous = new PressLabel(QStringLiteral("-"), box);
        auto* name = new PressLabel(QString(), box);
        auto* next = new PressLabel(QStringLiteral("+"), box);
        previous->setObjectName(indexed("Label_Previous", slot));
        name->setObjectName(indexed("Label_Ability", slot));
        next->setObjectName(indexed("Label_Next", slot));
        QFont bold = previous->font();
        bold.setBold(true);
        previous->setFont(bold);
        addValueRow(grid, slot, kFirstLevelRow + slot, {}, 4);
        const QSize step =
            rows_.at(static_cast<std::size_t>(kFirstLevelRow + slot))->less()->size();
        previous->setFixedSize(step);
        next->setFixedSize(step);
        name->setFixedSize(nameWidth + 12, step.height());
        previous->setOnRelease([this, slot](int, int) { stepAbility(slot, false); });
        next->setOnRelease([this, slot](int, int) { stepAbility(slot, true); });
        name->setOnRelease([this, slot](int, int modifiers) { abilityReleased(slot, modifiers); });
        name->setOnKey([this, slot](ValueKey key, int modifiers) {
            // The keys of a value row, with the ability row's own click rules.
            const KeyGesture gesture = gestureForKey(key, modifiers);
            if (gesture.target == KeyTarget::Value)
                abilityReleased(slot, gesture.modifiers);
            else if (gesture.target != KeyTarget::None)
                stepAbility(slot, gesture.target == KeyTarget::More);
            return gesture.target != KeyTarget::None;
        });
        const QString what = QStringLiteral("Ability %1").arg(slot);
        previous->setToolTip(what + QStringLiteral(". Click: the previous ability"));
        next->setToolTip(what + QStringLiteral(". Click: the next ability"));
        name->setToolTip(what + QStringLiteral(". Click: choose an ability; Shift-, Ctrl- or "
                                               "Alt-click: factory ability.\nKeys: Up/Down next/"
                                               "previous; Enter or F2: choose; Ctrl+Backspace: "
                                               "factory ability."));
        previous_.at(at) = previous;
        abilities_.at(at) = name;
        next_.at(at) = next;
        grid->addWidget(new QLabel(QStringLiteral("%1.").arg(slot), box), slot, 0);
        auto* cells = new QHBoxLayout;
        cells->setSpacing(1);
        cells->addWidget(previous);
        cells->addWidget(name);
        cells->addWidget(next);
        grid->addLayout(cells, slot, 1, 1, 3);
    }
    grid->addWidget(note(QStringLiteral("The level attribute determains when the ability will "
                                        "become avaliable."),
                         box),
                    kAbilitySlots + 1, 0, 1, 5);
    return box;
}

QGroupBox* Form_CreatureSettings::moneyFrame() {
    QGroupBox* box = frame(QStringLiteral("Money"), this);
    QGridLayout* grid = gridOf(box);
    for (int index = 33; index <= 36; ++index)
        addValueRow(grid, index - 33, index, QLatin1String(kRowCaptions[index - 1]));
    return box;
}

QGroupBox* Form_CreatureSettings::entryFrame() {
    QGroupBox* box = frame(QStringLiteral("Entry"), this);
    QGridLayout* grid = gridOf(box);
    grid->addWidget(heading(QStringLiteral("Room Requirements"), box), 0, 1);
    grid->addWidget(heading(QStringLiteral("Size"), box), 0, 2);
    for (int room = 1; room <= 3; ++room) {
        QComboBox* combo = addCombo(box, indexed("Combo_Entry", room), roomItems(),
                                    kFieldEntranceRoom1 + room - 1);
        entry_.at(static_cast<std::size_t>(room - 1)) = combo;
        grid->addWidget(new QLabel(QStringLiteral("%1.").arg(room), box), room, 0);
        grid->addWidget(combo, room, 1);
        addValueRow(grid, room, kFirstSizeRow + room, {}, 2);
    }
    return box;
}

QGroupBox* Form_CreatureSettings::miscFrame() {
    QGroupBox* box = frame(QStringLiteral("Miscellaneous"), this);
    QGridLayout* grid = gridOf(box);
    for (int index = 40; index <= 50; ++index)
        addValueRow(grid, index - 40, index, QLatin1String(kRowCaptions[index - 1]));
    grid->addWidget(new QLabel(QStringLiteral("Attack Preference:"), box), 11, 0);
    attack_ = new PressLabel(QString(), box);
    attack_->setObjectName(QStringLiteral("Label_Attack"));
    attack_->setFixedSize(rows_[40]->stat()->width() + 2 * rows_[40]->less()->width() + 2,
                          rows_[40]->stat()->height());
    attack_->setOnRelease([this](int, int) {
        const int kind = context_.state.SelectedCreature;
        const SlotRef ref = SlotRef::creature(kind, kFieldAttackPreference);
        context_.store.set(ref, toggledAttack(context_.store.value(ref)));
        refreshCreatureScreen(context_);
    });
    attack_->setOnKey([this](ValueKey key, int modifiers) {
        const KeyGesture gesture = gestureForKey(key, modifiers);
        if (gesture.target == KeyTarget::None || gesture.modifiers == kModCtrl)
            return false;
        attack_->onRelease()(kButtonLeft, 0); // the one thing a click does: switch
        return true;
    });
    attack_->setToolTip(QStringLiteral("Attack Preference. Click, Up/Down or Enter: switch"));
    grid->addWidget(attack_, 11, 1, Qt::AlignRight);
    for (int flag = 1; flag <= 4; ++flag) {
        QCheckBox* check = addFlag(box, QStringLiteral("Check_Misc_%1").arg(flag),
                                   static_cast<int>(kMiscFlags.at(std::size_t(flag - 1))));
        flags_.at(static_cast<std::size_t>(flag - 1)) = check;
        grid->addWidget(check, 11 + flag, 0, 1, 2);
    }
    return box;
}

QGroupBox* Form_CreatureSettings::jobsFrame() {
    QGroupBox* box = frame(QStringLiteral("Jobs"), this);
    QGridLayout* grid = gridOf(box);
    const char* captions[] = {"Primary:", "Secondary:", "Creature will not:"};
    for (int list = 1; list <= 3; ++list) {
        grid->addWidget(new QLabel(QLatin1String(captions[list - 1]), box), 0, list - 1);
        CheckList* jobs = addJobList(box, indexed("List_Jobs", list), list, false);
        jobs_.at(static_cast<std::size_t>(list - 1)) = jobs;
        grid->addWidget(jobs, 1, list - 1);
    }
    return box;
}

QGroupBox* Form_CreatureSettings::behaviourFrame() {
    QGroupBox* box = frame(QStringLiteral("Behaviour"), this);
    auto* column = new QVBoxLayout(box);
    column->setSpacing(kRowSpacing);
    column->setContentsMargins(8, 4, 8, 6);
    angry_ =
        addFlag(box, QStringLiteral("Check_Angry"), static_cast<int>(CreatureFlag::CanBecomeAngry));
    column->addWidget(angry_);
    column->addWidget(new QLabel(QStringLiteral("When angry:"), box));
    angryJobs_ = addJobList(box, QStringLiteral("List_AngryJobs"), kFieldAngryJobs, true);
    column->addWidget(angryJobs_);
    column->addWidget(note(QStringLiteral("Only applies when creature is very angry."), box));
    column->addWidget(new QLabel(QStringLiteral("Hated Creature"), box));
    hated_ = addCombo(box, QStringLiteral("Combo_Hated"), creatureItems("None"), kFieldLairEnemy);
    column->addWidget(hated_);
    column->addStretch();
    return box;
}

QComboBox* Form_CreatureSettings::addCombo(QWidget* parent, const QString& name,
                                           const QStringList& items, int field) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    combo->setMaxVisibleItems(static_cast<int>(items.size()));
    connect(combo, &QComboBox::activated, this, [this, field](int item) {
        if (context_.state.CreatureScreenUpdating)
            return;
        const std::optional<std::int32_t> chosen =
            isCreatureList(field) ? kindOfCreatureListItem(item) : roomOfEntryItem(item);
        if (chosen)
            context_.store.set(SlotRef::creature(context_.state.SelectedCreature, field), *chosen);
        refreshCreatureScreen(context_);
    });
    return combo;
}

QCheckBox* Form_CreatureSettings::addFlag(QWidget* parent, const QString& name, int flag) {
    const auto which = static_cast<CreatureFlag>(flag);
    auto* check = new QCheckBox(fromCore(flagInfo(which).caption), parent);
    check->setObjectName(name);
    connect(check, &QCheckBox::toggled, this, [this, which](bool checked) {
        store(flagInfo(which).field, flagValue(which, checked, context_.state.SelectedCreature));
    });
    return check;
}

CheckList* Form_CreatureSettings::addJobList(QWidget* parent, const QString& name, int field,
                                             bool angry) {
    auto* list =
        new CheckList(angry ? captionsOf(angryJobCaptions()) : captionsOf(jobCaptions()), parent);
    list->setObjectName(name);
    list->onToggled = [this, field](int item, bool checked) {
        store(field, jobsAfterCheck(value(field), item, checked));
    };
    list->onRelease = [this, field](int modifiers) {
        // Shift alone restores the factory jobs; with Ctrl or Alt it is no reset.
        if (modifiers != kModShift)
            return;
        const SlotRef ref = SlotRef::creature(context_.state.SelectedCreature, field);
        context_.store.set(ref, context_.store.defaultValue(ref));
        refreshCreatureScreen(context_);
    };
    return list;
}

void Form_CreatureSettings::store(int field, std::int32_t newValue) {
    if (context_.state.CreatureScreenUpdating)
        return;
    context_.store.set(SlotRef::creature(context_.state.SelectedCreature, field), newValue);
    refreshCreatureScreen(context_);
}

std::int32_t Form_CreatureSettings::value(int field) const {
    return context_.store.value(SlotRef::creature(context_.state.SelectedCreature, field));
}

std::int32_t Form_CreatureSettings::factory(int field) const {
    return context_.store.defaultValue(SlotRef::creature(context_.state.SelectedCreature, field));
}

bool Form_CreatureSettings::changed(int field) const {
    const SlotRef ref = SlotRef::creature(context_.state.SelectedCreature, field);
    return context_.store.value(ref) != context_.store.defaultValue(ref);
}

void Form_CreatureSettings::showCombo(QComboBox* combo, int field) {
    const std::int32_t shown = value(field);
    const std::optional<int> item =
        isCreatureList(field) ? creatureListItem(shown) : entryRoomItem(shown);
    // A value that no item stands for shows no item rather than the choice of the
    // creature shown before, which would not be the stored value.
    combo->setCurrentIndex(item.value_or(-1));
    markChoice(combo, changed(field));
}

void Form_CreatureSettings::showAbilities() {
    for (int slot = 1; slot <= kAbilitySlots; ++slot)
        abilities_.at(static_cast<std::size_t>(slot - 1))
            ->setText(fromCore(abilityScreenName(value(kFieldPower1 + slot - 1))));
    for (int slot = 1; slot <= kAbilitySlots; ++slot) {
        const int field = kFieldPower1 + slot - 1;
        const AbilityLook look = abilityLook(value(field), factory(field));
        PressLabel* name = abilities_.at(static_cast<std::size_t>(slot - 1));
        name->setTextColour(abilityColour(look.name));
        name->setAccessibleName(
            QStringLiteral("Ability %1, %2, factory ability %3")
                .arg(slot)
                .arg(name->text(), fromCore(abilityScreenName(factory(field)))));
        rows_.at(static_cast<std::size_t>(kFirstLevelRow + slot))
            ->stat()
            ->setTextColour(look.levelGrey ? kColourGreyText : kColourText);
    }
}

void Form_CreatureSettings::abilityReleased(int slot, int modifiers) {
    abilities_.at(static_cast<std::size_t>(slot - 1))->setBackground(kColourEqual);
    const int kind = context_.state.SelectedCreature;
    if (modifiers != 0) {
        const SlotRef ref = SlotRef::creature(kind, kFieldPower1 + slot - 1);
        context_.store.set(ref, context_.store.defaultValue(ref));
        refreshCreatureScreen(context_);
    } else {
        context_.state.AbilityPickTarget = {kind, slot};
        openAbilityPicker(context_);
    }
    showCurrentAbility(context_);
}

void Form_CreatureSettings::stepAbility(int slot, bool up) {
    const auto at = static_cast<std::size_t>(slot - 1);
    (up ? next_ : previous_).at(at)->setBackground(kColourEqual);
    const SlotRef ref = SlotRef::creature(context_.state.SelectedCreature, kFieldPower1 + slot - 1);
    const std::int32_t code = context_.store.value(ref);
    context_.store.set(ref, up ? nextAbility(code) : previousAbility(code));
    refreshCreatureScreen(context_);
    showCurrentAbility(context_);
}

QWidget* Form_CreatureSettings::fieldControl(int field) const {
    if (const int row = creatureStatRow(field))
        return rows_.at(static_cast<std::size_t>(row))->stat();
    const auto at = [](int first, int field) { return static_cast<std::size_t>(field - first); };
    if (field >= kFieldPower1 && field < kFieldPower1 + kAbilitySlots)
        return abilities_.at(at(kFieldPower1, field));
    if (field >= kFieldEntranceRoom1 && field < kFieldEntranceRoom1 + 3)
        return entry_.at(at(kFieldEntranceRoom1, field));
    if (field >= kFieldPrimaryJobs && field <= kFieldRefusedJobs)
        return jobs_.at(at(kFieldPrimaryJobs, field));
    for (std::size_t flag = 0; flag < flags_.size(); ++flag)
        if (flagInfo(kMiscFlags.at(flag)).field == field)
            return flags_.at(flag);
    switch (field) {
    case kFieldAngryJobs:
        return angryJobs_;
    case kFieldAnnoyLevel:
        return angry_;
    case kFieldGrowUp:
        return training_;
    case kFieldAttackPreference:
        return attack_;
    case kFieldLairEnemy:
        return hated_;
    default:
        return nullptr;
    }
}

void Form_CreatureSettings::redraw() {
    const int kind = context_.state.SelectedCreature;
    setWindowTitle(
        QStringLiteral("Creature Settings (%1)").arg(fromCore(creatureKind(kind).screenName)));
    for (int index = 1; index <= kCreatureStatRows; ++index) {
        const SlotRef ref = SlotRef::creature(kind, creatureStatField(index));
        rows_.at(static_cast<std::size_t>(index))
            ->show(context_.store.value(ref), context_.store.defaultValue(ref));
    }
    showCombo(training_, kFieldGrowUp);
    showAbilities();
    for (int room = 0; room < 3; ++room)
        showCombo(entry_.at(static_cast<std::size_t>(room)), kFieldEntranceRoom1 + room);
    for (std::size_t flag = 0; flag < flags_.size(); ++flag) {
        const int field = flagInfo(kMiscFlags.at(flag)).field;
        flags_.at(flag)->setChecked(flagChecked(kMiscFlags.at(flag), value(field)));
        markFlag(flags_.at(flag), changed(field));
    }
    attack_->setText(fromCore(attackCaption(value(kFieldAttackPreference))));
    attack_->setAccessibleName(QStringLiteral("Attack Preference, ") + attack_->text());
    attack_->setBackground(changed(kFieldAttackPreference) ? kColourChangedChoice : kColourEqual);
    angry_->setChecked(flagChecked(CreatureFlag::CanBecomeAngry, value(kFieldAnnoyLevel)));
    markFlag(angry_, changed(kFieldAnnoyLevel));
    showCombo(hated_, kFieldLairEnemy);
    for (CheckList* list : jobs_)
        for (int item = 0; item < list->count(); ++item)
            list->setChecked(item, false);
    for (int list = 1; list <= 3; ++list) {
        CheckList* jobs = jobs_.at(static_cast<std::size_t>(list - 1));
        for (int item = 0; item < jobs->count(); ++item)
            jobs->setChecked(item, jobChecked(value(list), item));
        jobs->setBackground(changed(list) ? kColourChangedChoice : kColourEqual);
        jobs->setCurrentIndex(jobs->model()->index(0, 0));
    }
    for (int item = 0; item < angryJobs_->count(); ++item)
        angryJobs_->setChecked(item, jobChecked(value(kFieldAngryJobs), item));
    angryJobs_->setBackground(changed(kFieldAngryJobs) ? kColourChangedChoice : kColourEqual);
    angryJobs_->setCurrentIndex(angryJobs_->model()->index(0, 0));
    // The value rows say where their values come from themselves.
    for (int field = 1; field <= kCreatureFields; ++field)
        if (QWidget* control = fieldControl(field); control && !creatureStatRow(field))
            showOrigin(control, context_, SlotRef::creature(kind, field));
    // Flags that share a field each show it.
    for (std::size_t flag = 0; flag < flags_.size(); ++flag)
        showOrigin(flags_.at(flag), context_,
                   SlotRef::creature(kind, flagInfo(kMiscFlags.at(flag)).field));
}

void refreshCreatureScreen(AppContext& context) {
    EditorState& state = context.state;
    state.CreatureScreenUpdating = true;
    if (state.CreatureScreenOpen)
        if (auto* screen =
                qobject_cast<Form_CreatureSettings*>(context.window(kCreatureSettingsName)))
            screen->redraw();
    state.CreatureScreenUpdating = false;
}

QWidget* openCreatureScreen(AppContext& context, int kind) {
    installValueEditing(context);
    context.setRefresher(RefreshOrder::CreatureSettings,
                         [&context] { refreshCreatureScreen(context); });
    context.setRefresher(RefreshOrder::AbilityPicker, [&context] { showCurrentAbility(context); });
    context.state.SelectedCreature = kind;
    context.state.CreatureScreenOpen = true;
    QWidget* screen = context.openWindow(kCreatureSettingsName,
                                         [&context] { return new Form_CreatureSettings(context); });
    refreshCreatureScreen(context);
    return screen;
}

} // namespace tavrel::screens
