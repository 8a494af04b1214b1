#include "desktop/desktop_dlg.h"

#include <QCheckBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSet>

#include "app/user_texts.h"
#include "desktop/about_dlg.h"
#include "desktop/database_viewer.h"
#include "desktop/archive_list.h"
#include "desktop/desktop_app.h"
#include "desktop/dialog_units.h"
#include "desktop/message_list_dlg.h"
#include "desktop/screen_fit.h"
#include "desktop/window_run.h"
#include "platform/file_error.h"
#include "platform/file_checks.h"

namespace kelvane {
namespace {

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString SameAsArchiveText(const QString& output) {
  return QStringLiteral("%1 は変換するファイルの一つです。別の名前で保存してください。")
      .arg(QString::fromStdString(EscapedName(NativePath(output))));
}

}  // namespace

CDesktopDlg::CDesktopDlg(const DesktopPrompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Window | kCaptionFrame | Qt::WindowMinMaxButtonsHint), m_prompts(prompts) {
  // On a small screen, or at a large scale, the whole layout takes a smaller font.
  const QSize layoutUnits(320, 200);
  setFont(FittingDialogFont(DialogFont(), layoutUnits, ScreenAreaFor(nullptr), ExpectedFrame(this)));
  setWindowTitle(QStringLiteral("Kelvane Desktop"));
  setWindowIcon(ProgramIcon());
  CreateControls(layoutUnits);
  OnListChanged();
  FitOnScreen(this, minimumSize(), nullptr);
}

// The list empties itself while the base class destroys it; this window must not hear
// of that any more.
CDesktopDlg::~CDesktopDlg() { m_list->model()->disconnect(this); }

// Names a control, puts it at its place in dialog units and notes how it follows the
// window's edges.
template <typename Control>
Control* CDesktopDlg::Place(const DialogUnits& units, Control* control, const char* objectName,
                            QRect at, unsigned follows) {
  units.Place(control, objectName, at.x(), at.y(), at.width(), at.height());
  m_anchored.push_back({control, control->geometry(), follows});
  return control;
}

// The controls in tab order, placed in dialog units: the right-hand column from the
// top, then the bottom row from the left, "終了" last. The first size is the smallest.
void CDesktopDlg::CreateControls(const QSize& layoutUnits) {
  const DialogUnits units(font());
  setMinimumSize(units.Size(layoutUnits.width(), layoutUnits.height()));
  resize(minimumSize());

  m_list = Place(units, new ArchiveList(this), "list1000", {7, 7, 234, 135}, kWidens | kLengthens);
  connect(m_list->model(), &QAbstractItemModel::rowsInserted, this, &CDesktopDlg::OnListChanged);
  connect(m_list->model(), &QAbstractItemModel::rowsRemoved, this, &CDesktopDlg::OnListChanged);
  connect(m_list->model(), &QAbstractItemModel::modelReset, this, &CDesktopDlg::OnListChanged);
  connect(m_list, &ArchiveList::Dropped, this, &CDesktopDlg::TellUnreadable);

  auto* select = Place(units, new QPushButton(QStringLiteral("JRA-VAN\nファイル選択"), this),
                       "select1001", {259, 7, 54, 35}, kRight);
  connect(select, &QPushButton::clicked, this, &CDesktopDlg::OnSelectFiles);

  m_btnCreate = Place(units, new QPushButton(QStringLiteral("PDBファイル\n作成"), this),
                      "create1002", {259, 52, 54, 35}, kRight);
  connect(m_btnCreate, &QPushButton::clicked, this, &CDesktopDlg::OnCreatePdb);

  m_btnClear = Place(units, new QPushButton(QStringLiteral("クリア"), this), "clear1003",
                     {259, 105, 54, 14}, kRight);
  connect(m_btnClear, &QPushButton::clicked, this, &CDesktopDlg::OnClear);

  auto* about = Place(units, new QPushButton(QStringLiteral("バージョン情報"), this), "about1004",
                      {259, 129, 54, 14}, kRight);
  connect(about, &QPushButton::clicked, this, &CDesktopDlg::OnAbout);

  Place(units, new QGroupBox(QStringLiteral("設定"), this), "settings", {7, 153, 128, 40}, kBottom);
  m_chkAlarm = Place(units, new QCheckBox(QStringLiteral("発走アラームを有効"), this), "alarm1012",
                     {15, 170, 75, 10}, kBottom);
  m_chkAlarm->setChecked(true);

  m_status = Place(units, new QLabel(this), "status", {143, 157, 170, 18}, kBottom | kWidens);
  m_status->setTextFormat(Qt::PlainText);

  // Shown after a run that had messages: the list of them all.
  m_btnMessages = Place(units, new QPushButton(QStringLiteral("メッセージ一覧..."), this),
                        "messages", {143, 178, 80, 14}, kBottom);
  m_btnMessages->hide();
  connect(m_btnMessages, &QPushButton::clicked, this, &CDesktopDlg::OnShowMessages);

  // Shown after a run that wrote a database file: what the handheld gets, in a viewer.
  m_btnView = Place(units, new QPushButton(QStringLiteral("表示..."), this), "view",
                    {226, 178, 34, 14}, kBottom);
  m_btnView->hide();
  connect(m_btnView, &QPushButton::clicked, this, &CDesktopDlg::OnViewDatabase);

  auto* exit = Place(units, new QPushButton(QStringLiteral("終了"), this), "exit2",
                     {263, 179, 50, 14}, kRight | kBottom);
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);

  // The default button is hidden: Enter reaches it and it does nothing.
  auto* ok = Place(units, new QPushButton(QStringLiteral("OK"), this), "ok1", {212, 150, 50, 14},
                   kRight | kBottom);
  ok->setDefault(true);
  ok->hide();
  connect(ok, &QPushButton::clicked, this, &CDesktopDlg::accept);
}

void CDesktopDlg::accept() {}

void CDesktopDlg::reject() {
  if (!m_running) QDialog::reject();
}

void CDesktopDlg::AddArchives(const QStringList& paths) { TellUnreadable(m_list->Add(paths)); }

// Archives that cannot be read are listed all the same, marked, and told about with
// the system's reason, as the command line tells it.
void CDesktopDlg::TellUnreadable(const QList<UnreadableArchive>& unreadable) {
  if (!unreadable.isEmpty()) m_prompts.boxes->ShowWarning(this, UnreadableArchivesBoxText(unreadable));
}

QStringList CDesktopDlg::ListedArchives() const { return m_list->Paths(); }

void CDesktopDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const QSize grown = (size() - minimumSize()).expandedTo(QSize(0, 0));
  for (const auto& [control, place, follows] : m_anchored) {
    QRect at = place;
    if (follows & kRight) at.translate(grown.width(), 0);
    if (follows & kBottom) at.translate(0, grown.height());
    if (follows & kWidens) at.setRight(at.right() + grown.width());
    if (follows & kLengthens) at.setBottom(at.bottom() + grown.height());
    control->setGeometry(at);
  }
  ElideStatus();
}

void CDesktopDlg::OnSelectFiles() { AddArchives(m_prompts.files->ChooseArchives(this)); }

// Converts every listed archive into one database at a path the person chooses. The
// alarm setting is taken as the button is clicked.
void CDesktopDlg::OnCreatePdb() {
  ConversionRequest request;
  request.alarm = m_chkAlarm->isChecked();
  const QString output = m_prompts.files->ChooseOutputPath(this);
  if (output.isEmpty()) return;
  m_btnMessages->hide();
  m_btnView->hide();
  m_messageList.clear();
  if (RefuseOutput(output)) {
    ShowStatus(RunStatusText({}, {}, output));
    return;
  }
  request.outputPath = NativePath(output);
  WindowRun run(m_prompts, this);
  request.archives = ReadableArchives(run);
  m_running = true;
  const ConversionOutcome outcome = run.Run(request);
  m_running = false;
  m_messageList = MessageListText(run.report().messages());
  m_btnMessages->setVisible(!run.report().messages().empty());
  m_writtenPath = output;
  m_btnView->setVisible(outcome.written && KindOfOutput(request.outputPath) == OutputKind::kFile);
  ShowStatus(RunStatusText(outcome, run.report().Counts(), output));
}

// The listed archives the run reads. One that cannot be read now is told about with
// its reason and gathered as failed; the run goes on with the others, as it does past
// an archive that fails.
std::vector<std::string> CDesktopDlg::ReadableArchives(WindowRun& run) {
  const QList<UnreadableArchive> unreadable = m_list->CheckArchives();
  TellUnreadable(unreadable);
  QSet<QString> left;
  for (const UnreadableArchive& archive : unreadable) {
    left.insert(archive.path);
    const std::string text = UnreadableFileText(archive.path, archive.reason).toStdString();
    run.GatherToldMessage({text, {.archive = NativePath(archive.path)}});
  }
  std::vector<std::string> readable;
  for (const QString& archive : ListedArchives()) {
    if (!left.contains(archive)) readable.push_back(NativePath(archive));
  }
  return readable;
}

// An output that is one of the listed archives would replace it; one whose folder
// cannot take the file would fail only after every archive was unpacked. Both are
// refused with a box before the run.
bool CDesktopDlg::RefuseOutput(const QString& output) {
  const std::string path = NativePath(output);
  for (const QString& archive : ListedArchives()) {
    if (SameFile(path, NativePath(archive))) {
      m_prompts.boxes->ShowWarning(this, SameAsArchiveText(output));
      return true;
    }
  }
  if (KindOfOutput(path) != OutputKind::kFile) return false;
  const auto failure = OutputFolderError(path);
  if (!failure) return false;
  m_prompts.boxes->ShowStop(this, MessageBoxText(FileErrorText(FileError(*failure, path))));
  return true;
}

void CDesktopDlg::OnClear() { m_list->clear(); }

void CDesktopDlg::OnAbout() {
  CAboutDlg about(*m_prompts.shell, this);
  about.exec();
}

void CDesktopDlg::OnViewDatabase() { OpenDatabaseViewer(m_writtenPath, this, *m_prompts.boxes); }

void CDesktopDlg::OnShowMessages() {
  CMessageListDlg list(m_messageList, this);
  list.exec();
}

// Create and clear have something to work on only while the list holds archives.
void CDesktopDlg::OnListChanged() {
  const bool listed = m_list->topLevelItemCount() > 0;
  m_btnCreate->setEnabled(listed);
  m_btnClear->setEnabled(listed);
}

void CDesktopDlg::ShowStatus(const QString& text) {
  m_statusText = text;
  m_status->setToolTip(text);
  ElideStatus();
}

// Long lines, such as a deep output path, are shortened in the middle to fit; the
// whole text stays in the tooltip.
void CDesktopDlg::ElideStatus() {
  const QFontMetrics metrics(m_status->font());
  QStringList lines = m_statusText.split(QLatin1Char('\n'));
  for (QString& line : lines) line = metrics.elidedText(line, Qt::ElideMiddle, m_status->width());
  m_status->setText(lines.join(QLatin1Char('\n')));
}

}  // namespace kelvane
