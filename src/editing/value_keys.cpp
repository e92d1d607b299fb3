#include "editing/value_keys.h"

#include "editing/stepping.h"

namespace tavrel {

KeyGesture gestureForKey(ValueKey key, int modifiers) {
    const bool shiftOnly = modifiers == kModShift;
    const bool stepModifiers = modifiers == 0 || shiftOnly;
    const int stepBits = shiftOnly ? kModShift : 0;
    switch (key) {
    case ValueKey::Up:
    case ValueKey::Plus:
        return stepModifiers ? KeyGesture{KeyTarget::More, kButtonLeft, stepBits} : KeyGesture{};
    case ValueKey::Down:
    case ValueKey::Minus:
        return stepModifiers ? KeyGesture{KeyTarget::Less, kButtonLeft, stepBits} : KeyGesture{};
    case ValueKey::PageUp:
        return stepModifiers ? KeyGesture{KeyTarget::More, kButtonRight, stepBits} : KeyGesture{};
    case ValueKey::PageDown:
        return stepModifiers ? KeyGesture{KeyTarget::Less, kButtonRight, stepBits} : KeyGesture{};
    case ValueKey::Enter:
    case ValueKey::F2:
        return modifiers == 0 ? KeyGesture{KeyTarget::Value, kButtonLeft, 0} : KeyGesture{};
    case ValueKey::Backspace:
        return modifiers == kModCtrl ? KeyGesture{KeyTarget::Value, kButtonLeft, kModCtrl}
                                     : KeyGesture{};
    case ValueKey::Other:
        break;
    }
    return {};
}

} // namespace tavrel
