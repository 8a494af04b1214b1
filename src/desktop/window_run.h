#pragma once

#include <atomic>

#include "app/conversion_run.h"
#include "desktop/desktop_prompts.h"
#include "desktop/run_report.h"

class QWidget;

namespace kelvane {

class CRunProgressDlg;

// A conversion run driven by the window. The run goes on a thread of its own, so the
// window keeps painting; meanwhile the window takes no input, and a progress dialog,
// window-modal, comes up once the run has lasted half a second: it shows the archive
// being read, how many of how many, and a Cancel that stops the run as a signal does.
// The run's seams are answered on the window's thread, the run waiting for each:
// every message is gathered, the first of each text boxed; file errors are boxed.
// A box always stays answerable: it goes over the progress dialog when that is up,
// and the dialog waits to come up while a box is open.
class WindowRun : public Env {
 public:
  WindowRun(const DesktopPrompts& prompts, QWidget* window) : prompts_(prompts), window_(window) {}

  // Runs `request` to its end while the window's events go on.
  ConversionOutcome Run(const ConversionRequest& request);

  // Gathers a message the window has already told the person before the run.
  void GatherToldMessage(const Message& message) { report_.Gather(message); }
  const RunReport& report() const { return report_; }

  // The seams, called on the run's thread.
  void ShowMessage(const Message& message) override;
  void ShowFileError(const std::string& text) override;
  void OpenWithShell(const std::string& path) override;
  std::time_t Now() override;
  void ShowProgress(std::size_t index, std::size_t count, const std::string& archive) override;
  bool StopRequested() override { return stop_; }

 private:
  template <typename Call>
  void OnWindowThreadAndWait(Call call);
  // Shows a box through `show(owner)` over the window or, when it is up, the progress
  // dialog; a progress dialog that came due meanwhile comes up after it.
  template <typename Show>
  void Box(Show show);
  void ProgressDue();

  const DesktopPrompts& prompts_;
  QWidget* window_;
  CRunProgressDlg* progress_ = nullptr;
  RunReport report_;
  std::atomic<bool> stop_{false};
  int boxesOpen_ = 0;
  bool progressDue_ = false;
};

}  // namespace kelvane
