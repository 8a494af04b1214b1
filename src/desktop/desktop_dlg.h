#pragma once

#include <QDialog>
#include <QStringList>
#include <string>

#include "app/conversion_run.h"
#include "desktop/desktop_prompts.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace kelvane {

// A message of the conversion run (UTF-8, CR LF between its lines) as a message box
// shows it.
QString MessageBoxText(const std::string& message);

// What the status line says after a run: how many races went where, or that no
// database was written. The path comes as a second line.
QString RunStatusText(const ConversionOutcome& outcome, const QString& outputPath);

// The main window: the list of chosen archives, the start alarm setting and the
// buttons that add archives, empty the list, convert them and show the about box.
// Esc, the close box and "終了" close it; Enter does nothing.
class CDesktopDlg : public QDialog {
  Q_OBJECT

 public:
  CDesktopDlg(std::string baseFolder, const DesktopPrompts& prompts, QWidget* parent = nullptr);
  ~CDesktopDlg() override;

  // The OK command (Enter, the hidden default button) leaves the window open.
  void accept() override;

  // The listed archives, in list order.
  QStringList ListedArchives() const;

 private:
  void CreateControls();
  void OnSelectFiles();
  void OnCreatePdb();
  void OnClear();
  void OnAbout();
  void OnListChanged();
  void ShowStatus(const QString& text);

  std::string m_strBaseFolder;
  DesktopPrompts m_prompts;
  QTreeWidget* m_list = nullptr;
  QPushButton* m_btnCreate = nullptr;
  QPushButton* m_btnClear = nullptr;
  QCheckBox* m_chkAlarm = nullptr;
  QLabel* m_status = nullptr;
};

}  // namespace kelvane
