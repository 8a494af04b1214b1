#pragma once

#include <QDialog>
#include <QRect>
#include <QStringList>
#include <string>
#include <vector>

#include "desktop/desktop_prompts.h"
#include "desktop/run_report.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace kelvane {

class ArchiveList;
class DialogUnits;
class WindowRun;

// The main window: the list of chosen archives, the start alarm setting and the
// buttons that add archives, empty the list, convert them and show the about box.
// Esc, the close box and "終了" close it; Enter does nothing. It can be resized from
// its first size up: the list grows, the buttons keep their column at the right.
class CDesktopDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CDesktopDlg(const DesktopPrompts& prompts, QWidget* parent = nullptr);
  ~CDesktopDlg() override;

  // The OK command (Enter, the hidden default button) leaves the window open.
  void accept() override;
  // The window stays open while a run goes on; its progress dialog cancels it.
  void reject() override;

  // Lists the archives not listed yet, as if chosen in the open dialog.
  void AddArchives(const QStringList& paths);
  // The listed archives, in list order.
  QStringList ListedArchives() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Which edges of the window a control keeps its distance to as the window grows.
  enum Follows : unsigned {
    kTopLeft = 0,
    kRight = 1,        // moves with the right edge
    kBottom = 2,       // moves with the bottom edge
    kWidens = 4,       // its right side follows the right edge
    kLengthens = 8,    // its bottom side follows the bottom edge
  };
  struct Anchored {
    QWidget* control;
    QRect place;  // at the window's first size
    unsigned follows;
  };

  void CreateControls(const QSize& layoutUnits);
  template <typename Control>
  Control* Place(const DialogUnits& units, Control* control, const char* objectName, QRect at,
                 unsigned follows);
  void TellUnreadable(const QList<UnreadableArchive>& unreadable);
  void OnSelectFiles();
  void OnCreatePdb();
  bool RefuseOutput(const QString& output);
  std::vector<std::string> ReadableArchives(WindowRun& run);
  void OnClear();
  void OnAbout();
  void OnShowMessages();
  void OnViewDatabase();
  void OnListChanged();
  void ShowStatus(const QString& text);
  void ElideStatus();

  DesktopPrompts m_prompts;
  ArchiveList* m_list = nullptr;
  QPushButton* m_btnCreate = nullptr;
  QPushButton* m_btnClear = nullptr;
  QCheckBox* m_chkAlarm = nullptr;
  QLabel* m_status = nullptr;
  QPushButton* m_btnMessages = nullptr;
  QPushButton* m_btnView = nullptr;
  std::vector<Anchored> m_anchored;
  QString m_statusText;
  QString m_messageList;  // every message of the last run with its place
  QString m_writtenPath;  // the database the last run wrote
  bool m_running = false;
};

}  // namespace kelvane
