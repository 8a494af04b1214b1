#include "desktop/screen_fit.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

#include "desktop/dialog_units.h"

namespace kelvane {
namespace {

constexpr qreal kSmallestFontPoints = 6;

QScreen* ScreenOf(const QWidget* owner) {
  if (owner != nullptr && owner->window()->screen() != nullptr) return owner->window()->screen();
  if (QScreen* pointed = QGuiApplication::screenAt(QCursor::pos())) return pointed;
  return QGuiApplication::primaryScreen();
}

// The start that puts a length of `length` centred on [overStart, overStart + over)
// and then inside [areaStart, areaStart + area), its start first when it cannot be.
int Inside(int length, int overStart, int over, int areaStart, int area) {
  const int centred = overStart + (over - length) / 2;
  return std::max(areaStart, std::min(centred, areaStart + area - length));
}

}  // namespace

QRect ScreenAreaFor(const QWidget* owner) {
  const QScreen* screen = ScreenOf(owner);
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 640, 480);
}

QMargins ExpectedFrame(const QWidget* window) {
  const int edge = 4;
  return {edge, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), edge,
          edge};
}

QSize FittingSize(const QSize& wanted, const QRect& area, const QMargins& frame) {
  const QSize room = area.size().shrunkBy(frame).expandedTo(QSize(1, 1));
  return wanted.boundedTo(room);
}

QRect PlaceInside(const QSize& size, const QMargins& frame, const QRect& over, const QRect& area) {
  const QSize framed = size.grownBy(frame);
  const int left = Inside(framed.width(), over.x(), over.width(), area.x(), area.width());
  const int top = Inside(framed.height(), over.y(), over.height(), area.y(), area.height());
  return QRect(QPoint(left + frame.left(), top + frame.top()), size);
}

void FitOnScreen(QWidget* window, const QSize& wanted, const QWidget* owner) {
  const QRect area = ScreenAreaFor(owner);
  const QMargins frame = ExpectedFrame(window);
  const QSize size = FittingSize(wanted, area, frame).expandedTo(window->minimumSize());
  const QRect over = owner != nullptr ? owner->window()->frameGeometry() : area;
  window->setGeometry(PlaceInside(size, frame, over, area));
}

QFont FittingDialogFont(QFont font, const QSize& units, const QRect& area, const QMargins& frame) {
  const QSize room = area.size().shrunkBy(frame);
  while (font.pointSizeF() > kSmallestFontPoints) {
    const QSize needed = DialogUnits(font).Size(units.width(), units.height());
    if (needed.width() <= room.width() && needed.height() <= room.height()) break;
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
  return font;
}

}  // namespace kelvane
