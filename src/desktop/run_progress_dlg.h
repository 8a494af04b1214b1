#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kelvane {

// The progress of a run in the window: the archive being read and a bar that counts
// the archives, "13 / 50", so that the count and the bar say the same. Cancel, Esc
// and the close box ask the run to stop; the dialog then says that the run is
// stopping and stays up until it has.
class CRunProgressDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CRunProgressDlg(QWidget* window);

  // Archive `index` (from 0) of `count`, named `name`, is being read.
  void ShowArchive(int index, int count, const QString& name);
  bool StopAsked() const { return stopAsked_; }

  // Esc and the close box ask to stop, as Cancel does; the run closes the dialog.
  void reject() override;

 signals:
  void Stop();

 private:
  QLabel* text_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool stopAsked_ = false;
};

}  // namespace kelvane
