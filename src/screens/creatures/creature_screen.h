#pragma once

#include <QWidget>

#include <array>
#include <memory>

#include "screens/app_context.h"
#include "screens/widgets/value_row.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;

namespace tavrel::screens {

class CheckList;

inline const QString kCreatureSettingsName = QStringLiteral("Form_CreatureSettings");

// The creature settings screen: every field of the kind state.SelectedCreature. It
// keeps no values of its own; every change goes to the store and is followed by
// refreshCreatureScreen.
class Form_CreatureSettings : public QWidget {
    Q_OBJECT
public:
    explicit Form_CreatureSettings(AppContext& context);
    ~Form_CreatureSettings() override;

    // Draws every control from the store (the screen part of refreshCreatureScreen).
    void redraw();
    // The control that shows a field of the shown kind, or null for a field the
    // screen does not show.
    QWidget* fieldControl(int field) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QGroupBox* attributesFrame();
    QGroupBox* trainingFrame();
    QGroupBox* abilitiesFrame();
    QGroupBox* moneyFrame();
    QGroupBox* entryFrame();
    QGroupBox* miscFrame();
    QGroupBox* jobsFrame();
    QGroupBox* behaviourFrame();
    // Value row `index` in row `line` of a frame's grid, captioned in column 0.
    void addValueRow(QGridLayout* grid, int line, int index, const QString& caption,
                     int column = 1);
    QComboBox* addCombo(QWidget* parent, const QString& name, const QStringList& items, int field);
    QCheckBox* addFlag(QWidget* parent, const QString& name, int flag);
    CheckList* addJobList(QWidget* parent, const QString& name, int field, bool angry);

    // A user's change of a field of the shown kind, ignored while the program
    // itself fills the controls; then the whole screen is redrawn.
    void store(int field, std::int32_t value);
    std::int32_t value(int field) const;
    std::int32_t factory(int field) const;
    bool changed(int field) const;
    void showCombo(QComboBox* combo, int field);
    void showAbilities();
    void abilityReleased(int slot, int modifiers);
    void stepAbility(int slot, bool up);
    void released();

    AppContext& context_;
    std::array<std::unique_ptr<ValueRow>, 51> rows_; // element 0 unused
    std::array<CheckList*, 3> jobs_{};
    CheckList* angryJobs_ = nullptr;
    QCheckBox* angry_ = nullptr;
    std::array<QCheckBox*, 4> flags_{};
    QComboBox* training_ = nullptr;
    QComboBox* hated_ = nullptr;
    std::array<QComboBox*, 3> entry_{};
    PressLabel* attack_ = nullptr;
    std::array<PressLabel*, 10> previous_{};
    std::array<PressLabel*, 10> abilities_{};
    std::array<PressLabel*, 10> next_{};
    bool released_ = false;
};

// A creature field's caption as the screen shows it ("Health", "Ability 3 Level",
// "Primary Jobs"); the game file's column heading for a field the screen lacks.
QString creatureFieldCaption(int field);

// RefreshValues of the creature screen: marks the program's own filling, then, when
// the screen is open, redraws it for state.SelectedCreature. Safe with it closed.
void refreshCreatureScreen(AppContext& context);

// Shows the creature screen for `kind`: selects it, opens the one screen or brings
// it forward, and redraws it.
QWidget* openCreatureScreen(AppContext& context, int kind);

} // namespace tavrel::screens
