#pragma once

#include <QColor>
#include <QLabel>

#include <cstdint>
#include <functional>
#include <utility>

#include "core/settings_store.h"
#include "editing/value_keys.h"
#include "screens/app_context.h"

class QKeyEvent;
class QMouseEvent;

namespace tavrel::screens {

// The colours of the value rows.
inline const QColor kColourEqual{255, 255, 255};   // value equal to its default; "-", "+" at rest
inline const QColor kColourAbove{220, 255, 220};   // value above its default
inline const QColor kColourBelow{255, 220, 220};   // value below its default
inline const QColor kColourText{0, 0, 0};          // every value's text
inline const QColor kColourPressed{235, 235, 235}; // while a mouse button is held on a label

// The background of a value against its factory value.
QColor highlightColour(std::int32_t value, std::int32_t factoryDefault);

// A value control's tool tip: its own help, and below it the line saying where the
// value comes from (originText), when there is one.
void showOrigin(QWidget* control, const QString& origin);
// The same for the value of `ref` as it stands in the store.
void showOrigin(QWidget* control, const AppContext& context, SlotRef ref);

// Mouse button and modifier state in the codes the editing rules take.
int buttonCode(Qt::MouseButton button);
int modifierBits(Qt::KeyboardModifiers modifiers);
// A key event as one of the keys a value row answers to, with its modifier bits.
std::pair<ValueKey, int> valueKeyOf(const QKeyEvent& event);

// A label of a value row: grey while a mouse button is held on it; reports each
// release with its button and modifier codes. A label given a key handler takes
// the keyboard focus (Tab, click) and shows it with a dotted frame.
class PressLabel : public QLabel {
    Q_OBJECT
public:
    using Release = std::function<void(int button, int modifiers)>;
    // Answers whether the key was used; an unused key goes on to the window.
    using KeyPress = std::function<bool(ValueKey key, int modifiers)>;

    PressLabel(const QString& caption, QWidget* parent);
    void setOnRelease(Release onRelease) { onRelease_ = std::move(onRelease); }
    const Release& onRelease() const { return onRelease_; }
    void setOnKey(KeyPress onKey);
    void setBackground(const QColor& colour);
    QColor background() const;
    void setTextColour(const QColor& colour);
    QColor textColour() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Release onRelease_;
    KeyPress onKey_;
};

// One row of a settings screen: "-", the value and "+", all three acting on one slot.
// The row asks for its slot at each click, so a screen that shows different slots
// in the same row (the creature screen) can use it as well.
class ValueRow {
public:
    struct Hooks {
        std::function<SlotRef()> slot;       // the slot the row edits now
        std::function<void()> refreshValues; // the owning screen's redraw
        QString name;                        // what the value is, "Treasury Cost"
        // Where the value stands, for the input dialog: "Room Settings: Treasury, Cost".
        std::function<QString()> caption;
    };

    // Creates the three labels, named Label_Less(index), Label_Stat(index) and
    // Label_More(index), as children of `parent`.
    ValueRow(AppContext& context, QWidget* parent, int index, Hooks hooks);

    // Places the row with its top left corner at `topLeft` of the parent.
    void place(QPoint topLeft);
    // Caption and colours of the value label for a value and its factory default.
    void show(std::int32_t value, std::int32_t factoryDefault);
    // "-" and "+" back to their resting look.
    void resetStepLabels();

    PressLabel* less() const { return less_; }
    PressLabel* stat() const { return stat_; }
    PressLabel* more() const { return more_; }

    // The size a row takes in `font`; wide enough for every 32-bit value.
    static QSize sizeFor(const QFont& font);

private:
    void step(PressLabel* label, bool up, int button, int modifiers);
    void clickValue(int modifiers);
    bool key(ValueKey key, int modifiers);

    AppContext& context_;
    Hooks hooks_;
    PressLabel* less_;
    PressLabel* stat_;
    PressLabel* more_;
};

} // namespace tavrel::screens
