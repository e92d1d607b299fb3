#pragma once

#include <QRect>
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

// Where a window's frame goes: wholly on the available area, as near as it can be
// to `wanted`; a frame larger than the area is cut to the area's size.
QRect placedFrame(QRect wanted, QRect available);

// Places a new window, before it is first shown, wholly on the available area of
// its screen (task bars and panels left free): centred over its parent window, or
// on the screen, as the toolkit centres a small window. Once it is shown, where
// the window manager really put it and how large its frame really is are checked
// once more. A window too large for the area is made smaller; a window made with
// fitOnScreen then scrolls.
void placeOnScreen(QWidget* window);

} // namespace tavrel::screens
