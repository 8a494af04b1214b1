#include "desktop/window_run.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <optional>
#include <system_error>
#include <thread>

#include "app/clock.h"
#include "app/user_texts.h"
#include "desktop/run_progress_dlg.h"

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
  CRunProgressDlg progress(window_);
  QObject::connect(&progress, &CRunProgressDlg::Stop, [this] { stop_ = true; });
  progress_ = &progress;
  QTimer::singleShot(kProgressDelayMs, &progress, [this] { ProgressDue(); });

  const InputBlocker blocker(window_);
  QEventLoop loop;
  ConversionOutcome outcome;
  std::optional<std::thread> worker;
  try {
    worker.emplace([&] {
      outcome = RunConversion(request, *this);
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
  } catch (const std::system_error&) {
    // No thread for the run: the system is out of what threads take.
    progress_ = nullptr;
    prompts_.boxes->ShowStop(window_, MessageBoxText(OutOfMemoryText(request.outputPath)));
    return outcome;
  }
  loop.exec();
  worker->join();
  progress_ = nullptr;
  return outcome;
}

void WindowRun::ProgressDue() {
  progressDue_ = true;
  if (boxesOpen_ == 0) progress_->show();
}

// A box owned by the window would be blocked by the window-modal progress dialog;
// one owned by the dialog goes over it.
template <typename Show>
void WindowRun::Box(Show show) {
  ++boxesOpen_;
  show(progress_->isVisible() ? static_cast<QWidget*>(progress_) : window_);
  --boxesOpen_;
  if (progressDue_ && boxesOpen_ == 0) progress_->show();
}

void WindowRun::ShowMessage(const Message& message) {
  OnWindowThreadAndWait([&] {
    if (!report_.Gather(message)) return;
    Box([&](QWidget* owner) { prompts_.boxes->ShowWarning(owner, BoxText(message)); });
  });
}

void WindowRun::ShowFileError(const std::string& text) {
  OnWindowThreadAndWait([&] {
    Box([&](QWidget* owner) { prompts_.boxes->ShowStop(owner, MessageBoxText(text)); });
  });
}

void WindowRun::OpenWithShell(const std::string& path) {
  OnWindowThreadAndWait([&] { prompts_.shell->Open(QUrl::fromLocalFile(QFile::decodeName(path.c_str()))); });
}

std::time_t WindowRun::Now() { return SystemNow(); }

// Told without waiting: the dialog catches up when the window's thread comes to it.
void WindowRun::ShowProgress(std::size_t index, std::size_t count, const std::string& archive) {
  QMetaObject::invokeMethod(progress_, [this, index, count, name = FileNameOf(archive)] {
    progress_->ShowArchive(static_cast<int>(index), static_cast<int>(count), name);
  }, Qt::QueuedConnection);
}

}  // namespace kelvane
