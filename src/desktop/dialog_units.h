#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

namespace kelvane {

// The frame of both dialogs: a caption bar with the close box, no help or resize.
inline constexpr Qt::WindowFlags kCaptionFrame = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                 Qt::WindowSystemMenuHint |
                                                 Qt::WindowCloseButtonHint;

// The font both dialogs are laid out in: a proportional Japanese gothic at 9 points.
QFont DialogFont();

// Dialog units: the layout measure of the window and the about box. A horizontal unit
// is a quarter of the font's average character width, a vertical unit an eighth of its
// height, so the layout grows and shrinks with the font.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  // From the font's average character width and height in pixels.
  DialogUnits(int charWidth, int charHeight) : charWidth_(charWidth), charHeight_(charHeight) {}

  QRect Rect(int x, int y, int width, int height) const;
  QSize Size(int width, int height) const;

  // Names a control (tests find controls by name) and puts it at its place.
  template <typename Control>
  Control* Place(Control* control, const char* objectName, int x, int y, int width,
                 int height) const {
    control->setObjectName(QString::fromLatin1(objectName));
    control->setGeometry(Rect(x, y, width, height));
    return control;
  }

 private:
  int ToPixelsX(int units) const;
  int ToPixelsY(int units) const;

  int charWidth_;
  int charHeight_;
};

}  // namespace kelvane
