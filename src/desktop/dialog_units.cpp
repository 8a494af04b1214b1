#include "desktop/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace kelvane {
namespace {

// The average character width is taken over the Latin letters, rounded to the nearest
// pixel, as dialog layouts have always measured it.
int AverageCharWidth(const QFontMetrics& metrics) {
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int total = metrics.horizontalAdvance(letters);
  return (total / 26 + 1) / 2;
}

// units * pixelsPerUnitGroup / perGroup, rounded to the nearest pixel.
int Scale(int units, int pixels, int perGroup) {
  return (units * pixels * 2 + perGroup) / (perGroup * 2);
}

}  // namespace

QFont DialogFont() {
  QFont font;
  font.setFamilies({QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic")});
  font.setPointSize(9);
  return font;
}

DialogUnits::DialogUnits(const QFont& font)
    : DialogUnits(AverageCharWidth(QFontMetrics(font)), QFontMetrics(font).height()) {}

int DialogUnits::ToPixelsX(int units) const { return Scale(units, charWidth_, 4); }

int DialogUnits::ToPixelsY(int units) const { return Scale(units, charHeight_, 8); }

// Both corners are scaled, so that controls that touch in units touch on screen.
QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  const int left = ToPixelsX(x);
  const int top = ToPixelsY(y);
  return QRect(left, top, ToPixelsX(x + width) - left, ToPixelsY(y + height) - top);
}

QSize DialogUnits::Size(int width, int height) const {
  return QSize(ToPixelsX(width), ToPixelsY(height));
}

}  // namespace kelvane
