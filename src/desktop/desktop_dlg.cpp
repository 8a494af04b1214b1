#include "desktop/desktop_dlg.h"

#include <QCheckBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <utility>

#include "app/clock.h"
#include "desktop/about_dlg.h"
#include "desktop/desktop_app.h"
#include "desktop/dialog_units.h"

namespace kelvane {
namespace {

constexpr int kListColumnWidth = 400;  // pixels, so long paths scroll rather than squeeze

// The conversion run's seams, answered by the window: messages and file errors as
// message boxes owned by it, the written database handed to the desktop.
class WindowEnv : public Env {
 public:
  WindowEnv(const DesktopPrompts& prompts, QWidget* owner) : prompts_(prompts), owner_(owner) {}

  void ShowMessage(const Message& message) override {
    prompts_.boxes->ShowWarning(owner_, MessageBoxText(message.text));
  }
  void ShowFileError(const std::string& text) override {
    prompts_.boxes->ShowStop(owner_, MessageBoxText(text));
  }
  void OpenWithShell(const std::string& path) override {
    prompts_.shell->Open(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
  }
  std::time_t Now() override { return SystemNow(); }

 private:
  const DesktopPrompts& prompts_;
  QWidget* owner_;
};

// The wait cursor for as long as the object lives.
class WaitCursor {
 public:
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

// A message box label breaks lines at a bare line feed.
QString MessageBoxText(const std::string& message) {
  return QString::fromStdString(message).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString RunStatusText(const ConversionOutcome& outcome, const QString& outputPath) {
  if (!outcome.written) return QStringLiteral("データベースは書き込まれませんでした。");
  return QStringLiteral("%1 レースを書き込みました:\n%2")
      .arg(QString::number(outcome.racesWritten), outputPath);
}

CDesktopDlg::CDesktopDlg(std::string baseFolder, const DesktopPrompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Window | kCaptionFrame),
      m_strBaseFolder(std::move(baseFolder)),
      m_prompts(prompts) {
  setFont(DialogFont());
  setWindowTitle(QStringLiteral("Kelvane Desktop"));
  setWindowIcon(ProgramIcon());
  CreateControls();
  OnListChanged();
}

// The list empties itself while the base class destroys it; this window must not hear
// of that any more.
CDesktopDlg::~CDesktopDlg() { m_list->model()->disconnect(this); }

// The controls in tab order, placed in dialog units.
void CDesktopDlg::CreateControls() {
  const DialogUnits units(font());
  setFixedSize(units.Size(320, 200));

  m_list = units.Place(new QTreeWidget(this), "list1000", 7, 7, 234, 135);
  m_list->setColumnCount(1);
  m_list->setHeaderLabels({QStringLiteral("JRA-VAN Files")});
  m_list->header()->setStretchLastSection(false);
  m_list->header()->setSectionsClickable(false);
  m_list->setColumnWidth(0, kListColumnWidth);
  m_list->setRootIsDecorated(false);
  m_list->setItemsExpandable(false);
  m_list->setUniformRowHeights(true);
  m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  connect(m_list->model(), &QAbstractItemModel::rowsInserted, this, &CDesktopDlg::OnListChanged);
  connect(m_list->model(), &QAbstractItemModel::rowsRemoved, this, &CDesktopDlg::OnListChanged);
  connect(m_list->model(), &QAbstractItemModel::modelReset, this, &CDesktopDlg::OnListChanged);

  auto* select = units.Place(new QPushButton(QStringLiteral("JRA-VAN\nファイル選択"), this),
                             "select1001", 259, 7, 54, 35);
  connect(select, &QPushButton::clicked, this, &CDesktopDlg::OnSelectFiles);

  m_btnCreate = units.Place(new QPushButton(QStringLiteral("PDBファイル\n作成"), this),
                            "create1002", 259, 52, 54, 35);
  connect(m_btnCreate, &QPushButton::clicked, this, &CDesktopDlg::OnCreatePdb);

  m_btnClear = units.Place(new QPushButton(QStringLiteral("クリア"), this), "clear1003", 259, 105,
                           54, 14);
  connect(m_btnClear, &QPushButton::clicked, this, &CDesktopDlg::OnClear);

  auto* about = units.Place(new QPushButton(QStringLiteral("バージョン情報"), this), "about1004",
                            259, 129, 54, 14);
  connect(about, &QPushButton::clicked, this, &CDesktopDlg::OnAbout);

  auto* exit = units.Place(new QPushButton(QStringLiteral("終了"), this), "exit2", 263, 179, 50, 14);
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);

  // The default button is hidden: Enter reaches it and it does nothing.
  auto* ok = units.Place(new QPushButton(QStringLiteral("OK"), this), "ok1", 212, 150, 50, 14);
  ok->setDefault(true);
  ok->hide();
  connect(ok, &QPushButton::clicked, this, &CDesktopDlg::accept);

  units.Place(new QGroupBox(QStringLiteral("設定"), this), "settings", 7, 153, 128, 40);
  m_chkAlarm = units.Place(new QCheckBox(QStringLiteral("発走アラームを有効"), this), "alarm1012",
                           15, 170, 75, 10);
  m_chkAlarm->setChecked(true);

  m_status = units.Place(new QLabel(this), "status", 143, 157, 170, 18);
  m_status->setTextFormat(Qt::PlainText);
}

void CDesktopDlg::accept() {}

QStringList CDesktopDlg::ListedArchives() const {
  QStringList archives;
  for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
    archives.append(m_list->topLevelItem(i)->text(0));
  }
  return archives;
}

// Adds the chosen archives that are not listed yet, in the order they were chosen.
// Paths compare exactly: a path differing only in letter case is another file.
void CDesktopDlg::OnSelectFiles() {
  QStringList listed = ListedArchives();
  for (const QString& path : m_prompts.files->ChooseArchives(this)) {
    if (listed.contains(path, Qt::CaseSensitive)) continue;
    m_list->addTopLevelItem(new QTreeWidgetItem(QStringList{path}));
    listed.append(path);
  }
}

// Converts every listed archive into one database at a path the person chooses. The
// alarm setting is taken as the button is clicked.
void CDesktopDlg::OnCreatePdb() {
  ConversionRequest request;
  request.alarm = m_chkAlarm->isChecked();
  const QString output = m_prompts.files->ChooseOutputPath(this);
  if (output.isEmpty()) return;
  for (const QString& archive : ListedArchives()) request.archives.push_back(NativePath(archive));
  request.outputPath = NativePath(output);
  request.baseFolder = m_strBaseFolder;

  ConversionOutcome outcome;
  {
    const WaitCursor wait;
    WindowEnv env(m_prompts, this);
    outcome = RunConversion(request, env);
  }
  ShowStatus(RunStatusText(outcome, output));
}

void CDesktopDlg::OnClear() { m_list->clear(); }

void CDesktopDlg::OnAbout() {
  CAboutDlg about(*m_prompts.shell, this);
  about.exec();
}

// Create and clear have something to work on only while the list holds archives.
void CDesktopDlg::OnListChanged() {
  const bool listed = m_list->topLevelItemCount() > 0;
  m_btnCreate->setEnabled(listed);
  m_btnClear->setEnabled(listed);
}

// Long lines, such as a deep output path, are shortened in the middle to fit; the
// whole text stays in the tooltip.
void CDesktopDlg::ShowStatus(const QString& text) {
  const QFontMetrics metrics(m_status->font());
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) line = metrics.elidedText(line, Qt::ElideMiddle, m_status->width());
  m_status->setText(lines.join(QLatin1Char('\n')));
  m_status->setToolTip(text);
}

}  // namespace kelvane
