#include "desktop/window_run.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <thread>

#include "app/clock.h"
#include "desktop/desktop_app.h"

namespace kelvane {
namespace {

// The progress dialog waits this long before it comes up: no flicker on short runs.
constexpr int kProgressDelayMs = 500;

// Keeps input away from a window and its controls for as long as the object lives;
// the boxes and dialogs it owns are windows of their own and still take theirs.
class InputBlocker : public QObject {
 public:
  explicit InputBlocker(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
  ~InputBlocker() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (!IsInput(event->type()) || !receiver->isWidgetType()) return false;
    return static_cast<QWidget*>(receiver)->window() == window_;
  }

 private:
  static bool IsInput(QEvent::Type type) {
    switch (type) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Shortcut:
      case QEvent::ShortcutOverride:
      case QEvent::Wheel:
      case QEvent::ContextMenu:
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop:
        return true;
      default:
        return false;
    }
  }

  QWidget* window_;
};

QString FileNameOf(const std::string& path) { return QFileInfo(QFile::decodeName(path.c_str())).fileName(); }

}  // namespace

// The window's thread runs `call` while the run's thread waits for it.
template <typename Call>
void WindowRun::OnWindowThreadAndWait(Call call) {
  QMetaObject::invokeMethod(window_, std::move(call), Qt::BlockingQueuedConnection);
}

ConversionOutcome WindowRun::Run(const ConversionRequest& request) {
  QProgressDialog progress(window_);
  progress.setObjectName(QStringLiteral("progress"));
  progress.setWindowTitle(QString::fromUtf8(kApplicationName));
  progress.setWindowModality(Qt::WindowModal);
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  progress.setRange(0, static_cast<int>(request.archives.size()));
  progress.setMinimumDuration(kProgressDelayMs);
  progress.setValue(0);  // from here the dialog counts its delay
  // Cancel, Esc and the close box.
  QObject::connect(&progress, &QProgressDialog::canceled, [this] { stop_ = true; });
  QObject::connect(&progress, &QDialog::rejected, [this] { stop_ = true; });
  progress_ = &progress;

  const InputBlocker blocker(window_);
  QEventLoop loop;
  ConversionOutcome outcome;
  std::thread worker([&] {
    outcome = RunConversion(request, *this);
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  progress_ = nullptr;
  return outcome;
}

void WindowRun::ShowMessage(const Message& message) {
  OnWindowThreadAndWait([&] {
    if (report_.Gather(message)) prompts_.boxes->ShowWarning(window_, BoxText(message));
  });
}

void WindowRun::ShowFileError(const std::string& text) {
  OnWindowThreadAndWait([&] { prompts_.boxes->ShowStop(window_, MessageBoxText(text)); });
}

void WindowRun::OpenWithShell(const std::string& path) {
  OnWindowThreadAndWait([&] { prompts_.shell->Open(QUrl::fromLocalFile(QFile::decodeName(path.c_str()))); });
}

std::time_t WindowRun::Now() { return SystemNow(); }

// Told without waiting: the dialog catches up when the window's thread comes to it.
void WindowRun::ShowProgress(std::size_t index, std::size_t count, const std::string& archive) {
  QMetaObject::invokeMethod(progress_, [this, index, count, name = FileNameOf(archive)] {
    if (stop_) return;
    progress_->setLabelText(QStringLiteral("%1 を読み込んでいます\n%2 / %3")
                                .arg(name, QString::number(index + 1), QString::number(count)));
    progress_->setValue(static_cast<int>(index));
  }, Qt::QueuedConnection);
}

}  // namespace kelvane
