#include "desktop/archive_list.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

namespace kelvane {
namespace {

// Pixels: long paths are shortened only past this, and the column fills a wider list.
constexpr int kMinColumnWidth = 400;

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

void ArchiveList::Add(const QStringList& paths) {
  QStringList listed = Paths();
  for (const QString& path : paths) {
    if (listed.contains(path, Qt::CaseSensitive)) continue;
    auto* item = new QTreeWidgetItem(QStringList{path});
    item->setToolTip(0, path);
    addTopLevelItem(item);
    listed.append(path);
  }
}

QStringList ArchiveList::Paths() const {
  QStringList paths;
  for (int i = 0; i < topLevelItemCount(); ++i) paths.append(topLevelItem(i)->text(0));
  return paths;
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
  Add(files);
  event->acceptProposedAction();
}

void ArchiveList::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Delete && event->key() != Qt::Key_Backspace) {
    QTreeWidget::keyPressEvent(event);
    return;
  }
  qDeleteAll(selectedItems());
}

void ArchiveList::resizeEvent(QResizeEvent* event) {
  QTreeWidget::resizeEvent(event);
  setColumnWidth(0, std::max(kMinColumnWidth, viewport()->width()));
}

}  // namespace kelvane
