#pragma once

#include <QSize>

class QScrollArea;
class QWidget;

namespace tavrel::screens {

// Room a window manager's title bar and borders take around a window, for as long
// as the real frame is not known (before the window is first shown).
inline constexpr QSize kFrameAllowance{12, 48};

// The size a window opens at: its content's natural size when that fits the
// available area less the frame, else as much as fits, with room for the scroll
// bar that the other direction then needs.
QSize fittedSize(QSize natural, QSize available, QSize frame, int scrollBarExtent);

// Puts `content` (already at its natural size) into a scroll area that fills
// `window`, and sizes the window by fittedSize for the screen it opens on. The
// window can be made smaller, never larger than its content. The wheel over a combo
// box already in `content` scrolls the page unless that combo has the focus.
QScrollArea* fitOnScreen(QWidget* window, QWidget* content);

} // namespace tavrel::screens
