#include "desktop/screen_fit.h"

#include <QTest>

#include "desktop/dialog_units.h"

namespace kelvane {
namespace {

// A screen of 1280 x 800 pixels at scale 2, and a window manager's frame.
const QRect kArea(0, 0, 640, 400);
const QMargins kFrame(4, 24, 4, 4);

class ScreenFitTest : public QObject {
  Q_OBJECT

 private slots:
  void WindowsGoInsideTheAreaTitleBarFirst_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("over");
    QTest::addColumn<QRect>("placed");
    QTest::newRow("centred on the screen") << QSize(560, 325) << kArea << QRect(40, 47, 560, 325);
    QTest::newRow("over an owner near the bottom right")
        << QSize(300, 200) << QRect(500, 300, 300, 200) << QRect(336, 196, 300, 200);
    QTest::newRow("taller than the screen") << QSize(300, 500) << kArea << QRect(170, 24, 300, 500);
    QTest::newRow("over an owner off to the top left")
        << QSize(200, 100) << QRect(-400, -300, 100, 100) << QRect(4, 24, 200, 100);
  }

  void WindowsGoInsideTheAreaTitleBarFirst() {
    QFETCH(QSize, size);
    QFETCH(QRect, over);
    QFETCH(QRect, placed);
    QCOMPARE(PlaceInside(size, kFrame, over, kArea), placed);
  }

  void WindowsAreMadeSmallerToFitWithTheirFrame() {
    QCOMPARE(FittingSize(QSize(1800, 1400), kArea, kFrame), QSize(632, 372));
    QCOMPARE(FittingSize(QSize(500, 300), kArea, kFrame), QSize(500, 300));
  }

  void TheDialogFontShrinksOnlyWhereTheLayoutWouldNotFit() {
    const QFont font = DialogFont();
    QCOMPARE(FittingDialogFont(font, QSize(320, 200), QRect(0, 0, 1920, 1080), kFrame), font);
    for (const QSize small : {QSize(480, 600), QSize(800, 260)}) {  // too narrow, too short
      const QFont fitted = FittingDialogFont(font, QSize(320, 200), QRect(QPoint(), small), kFrame);
      QVERIFY(fitted.pointSizeF() < font.pointSizeF());
      const QSize laidOut = DialogUnits(fitted).Size(320, 200);
      QVERIFY(laidOut.width() <= small.shrunkBy(kFrame).width());
      QVERIFY(laidOut.height() <= small.shrunkBy(kFrame).height());
    }
  }
};

}  // namespace
}  // namespace kelvane

QTEST_MAIN(kelvane::ScreenFitTest)
#include "screen_fit_test.moc"
