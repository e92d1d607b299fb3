#pragma once

namespace tavrel {

// The keys a focused value row answers to, independent of the windowing toolkit.
enum class ValueKey { Other, Up, Down, Plus, Minus, PageUp, PageDown, Enter, F2, Backspace };

// Which label of a value row a key acts on, as if that label were clicked.
enum class KeyTarget { None, Less, More, Value };

// A key press as the mouse release that does the same: the label, the button code
// and the modifier bits that the stepping rules take.
struct KeyGesture {
    KeyTarget target = KeyTarget::None;
    int button = 0;
    int modifiers = 0;

    bool operator==(const KeyGesture&) const = default;
};

// Up/Plus and Down/Minus are a left click on "+" and "-", PageUp and PageDown a
// right click; Shift adds the modifier of a Shift-click. Enter and F2 are a plain
// click on the value (the input dialog), Ctrl+Backspace a Ctrl-click (the factory
// value). Ctrl or Alt on a step key, and any other key, do nothing, so that the
// program's shortcuts stay free.
KeyGesture gestureForKey(ValueKey key, int modifiers);

} // namespace tavrel
