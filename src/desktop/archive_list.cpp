#include "desktop/archive_list.h"

#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QStyle>
#include <QUrl>
#include <algorithm>

#include "desktop/run_report.h"
#include "platform/file_checks.h"

namespace kelvane {
namespace {

// Pixels: long paths are shortened only past this, and the column fills a wider list.
constexpr int kMinColumnWidth = 400;

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

QStringList DroppedLocalFiles(const QMimeData& data) {
  QStringList files;
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile()) files.append(url.toLocalFile());
  }
  return files;
}

ArchiveList::ArchiveList(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(1);
  setHeaderLabels({QStringLiteral("JRA-VAN Files")});
  header()->setStretchLastSection(false);
  header()->setSectionsClickable(false);
  setColumnWidth(0, kMinColumnWidth);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setTextElideMode(Qt::ElideMiddle);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
}

QList<UnreadableArchive> ArchiveList::Add(const QStringList& paths) {
  QList<UnreadableArchive> unreadable;
  for (const QString& path : paths) {
    if (Listed(path)) continue;
    auto* item = new QTreeWidgetItem(QStringList{path});
    addTopLevelItem(item);
    if (const QString reason = Check(item); !reason.isEmpty()) unreadable.append({path, reason});
  }
  return unreadable;
}

bool ArchiveList::Listed(const QString& path) const {
  const std::string native = NativePath(path);
  for (int i = 0; i < topLevelItemCount(); ++i) {
    const QString listed = topLevelItem(i)->text(0);
    if (listed == path || SameFile(NativePath(listed), native)) return true;
  }
  return false;
}

QStringList ArchiveList::Paths() const {
  QStringList paths;
  for (int i = 0; i < topLevelItemCount(); ++i) paths.append(topLevelItem(i)->text(0));
  return paths;
}

QList<UnreadableArchive> ArchiveList::CheckArchives() {
  QList<UnreadableArchive> unreadable;
  for (int i = 0; i < topLevelItemCount(); ++i) {
    if (const QString reason = Check(topLevelItem(i)); !reason.isEmpty()) {
      unreadable.append({topLevelItem(i)->text(0), reason});
    }
  }
  return unreadable;
}

QString ArchiveList::Check(QTreeWidgetItem* item) const {
  const QString path = item->text(0);
  const auto failure = ErrorReadingFile(NativePath(path));
  const QString reason = failure ? ReasonText(*failure) : QString();
  item->setIcon(0, failure ? style()->standardIcon(QStyle::SP_MessageBoxWarning) : QIcon());
  item->setToolTip(0, failure ? path + QLatin1Char('\n') + reason : path);
  return reason;
}

void ArchiveList::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedLocalFiles(*event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ArchiveList::dragMoveEvent(QDragMoveEvent* event) {
  if (!DroppedLocalFiles(*event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ArchiveList::dropEvent(QDropEvent* event) {
  const QStringList files = DroppedLocalFiles(*event->mimeData());
  if (files.isEmpty()) return;
  event->acceptProposedAction();
  emit Dropped(Add(files));
}

void ArchiveList::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Delete && event->key() != Qt::Key_Backspace) {
    QTreeWidget::keyPressEvent(event);
    return;
  }
  RemoveSelected();
}

// The entry that followed the first one removed takes its place and the selection,
// so that Delete pressed again goes on down the list; past the end, the last entry.
void ArchiveList::RemoveSelected() {
  const QList<QTreeWidgetItem*> selected = selectedItems();
  if (selected.isEmpty()) return;
  int first = topLevelItemCount();
  for (QTreeWidgetItem* item : selected) first = std::min(first, indexOfTopLevelItem(item));
  qDeleteAll(selected);
  if (topLevelItemCount() == 0) return;
  setCurrentItem(topLevelItem(std::min(first, topLevelItemCount() - 1)));
}

void ArchiveList::resizeEvent(QResizeEvent* event) {
  QTreeWidget::resizeEvent(event);
  setColumnWidth(0, std::max(kMinColumnWidth, viewport()->width()));
}

}  // namespace kelvane
