#include "desktop/desktop_prompts.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "desktop/modal_answer.h"

namespace kelvane {
namespace {

using test::ModalAnswer;

// What a message box showed, read while it was open.
struct SeenBox {
  QString title;
  QString text;
  Qt::TextFormat format = Qt::AutoText;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  Qt::CursorShape cursor = Qt::BitmapCursor;
};

// Answers the next message box with OK and tells what it showed.
class BoxReader {
 public:
  BoxReader()
      : answer_([this](QWidget* modal) {
          auto* box = qobject_cast<QMessageBox*>(modal);
          if (box == nullptr) return;
          seen.title = box->windowTitle();
          seen.text = box->text();
          seen.format = box->textFormat();
          seen.icon = box->icon();
          seen.buttons = box->standardButtons();
          if (const QCursor* cursor = QGuiApplication::overrideCursor()) seen.cursor = cursor->shape();
          box->button(QMessageBox::Ok)->click();
        }) {}

  SeenBox seen;

 private:
  ModalAnswer answer_;
};

class DesktopPromptsTest : public QObject {
  Q_OBJECT

 private slots:
  void MessagesShowTheCaptionTheExclamationIconAndOneOkButton() {
    BoxReader reader;
    SystemPrompts().boxes->ShowWarning(nullptr, QStringLiteral("ファイル '<b>.lzh' は書庫ではありません"));
    QCOMPARE(reader.seen.title, QStringLiteral("Kelvane"));
    QCOMPARE(reader.seen.text, QStringLiteral("ファイル '<b>.lzh' は書庫ではありません"));
    QCOMPARE(reader.seen.format, Qt::PlainText);
    QCOMPARE(reader.seen.icon, QMessageBox::Warning);
    QCOMPARE(reader.seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  }

  void FileErrorsShowTheStopIcon() {
    BoxReader reader;
    SystemPrompts().boxes->ShowStop(nullptr, QStringLiteral("/x.pdb へのｱｸｾｽは拒否されました。"));
    QCOMPARE(reader.seen.title, QStringLiteral("Kelvane"));
    QCOMPARE(reader.seen.icon, QMessageBox::Critical);
    QCOMPARE(reader.seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  }

  void BoxDuringARunShowsThePointerAndGivesTheWaitCursorBack() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    BoxReader reader;
    SystemPrompts().boxes->ShowWarning(nullptr, QStringLiteral("x"));
    QCOMPARE(reader.seen.cursor, Qt::ArrowCursor);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
  }
};

}  // namespace
}  // namespace kelvane

QTEST_MAIN(kelvane::DesktopPromptsTest)
#include "desktop_prompts_test.moc"
