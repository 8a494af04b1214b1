#pragma once

// Keeps windows and dialogs inside the screen they open on, whatever its size and
// scale: a window asks for the size it would like, and gets at most what the screen's
// free area (without panels) holds with the frame the window manager adds.

#include <QFont>
#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace kelvane {

// The free area of the screen of `owner`'s window; with no owner, of the screen the
// pointer is on.
QRect ScreenAreaFor(const QWidget* owner);

// The frame a window not shown yet can expect: a title bar above, thin edges around.
// The window manager tells the real one only once the window is on screen.
QMargins ExpectedFrame(const QWidget* window);

// `wanted`, made smaller where the window with `frame` would not fit `area`.
QSize FittingSize(const QSize& wanted, const QRect& area, const QMargins& frame);

// Where a window of `size` with `frame` goes: centred over `over` (the owner's
// window, or the area itself), then moved as little as needed to be inside `area`,
// its title bar first. The result is the window's own rectangle, without the frame.
QRect PlaceInside(const QSize& size, const QMargins& frame, const QRect& over, const QRect& area);

// Sizes `window` (a window not shown yet) to `wanted` or less and places it by
// PlaceInside over its owner, `owner`, or the screen.
void FitOnScreen(QWidget* window, const QSize& wanted, const QWidget* owner);

// `font`, smaller by half points where a layout of `units` dialog units in it would
// not fit `area` with `frame`; never below 6 points.
QFont FittingDialogFont(QFont font, const QSize& units, const QRect& area, const QMargins& frame);

}  // namespace kelvane
