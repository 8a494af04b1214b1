#pragma once

#include <QList>
#include <QStringList>
#include <QTreeWidget>

#include "desktop/run_report.h"

class QMimeData;

namespace kelvane {

// The local files a drag from a file manager carries (text/uri-list), in its order.
QStringList DroppedLocalFiles(const QMimeData& data);

// The archive list: one entry per archive, its text the full path (also its tooltip,
// as long paths are shortened in the middle), in the order the entries were added.
// Archives dropped onto it are added as if chosen; Delete and Backspace remove the
// selected entries and select the entry after them. An archive that cannot be read
// is marked with the warning icon, the reason in its tooltip.
class ArchiveList : public QTreeWidget {
  Q_OBJECT

 public:
  explicit ArchiveList(QWidget* parent);

  // Appends the paths not listed yet, in their order, and returns those of them that
  // cannot be read. A path is listed when it names the same file as an entry (device
  // and inode, whatever the spelling, through links); a path that names no file is
  // listed when it is spelled the same.
  QList<UnreadableArchive> Add(const QStringList& paths);
  QStringList Paths() const;
  // Looks at every entry's file again, marks the ones that cannot be read and
  // returns them in list order.
  QList<UnreadableArchive> CheckArchives();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 signals:
  // Archives were dropped and listed; `unreadable` are those that cannot be read.
  void Dropped(const QList<UnreadableArchive>& unreadable);

 private:
  bool Listed(const QString& path) const;
  // Marks `item` by whether its file can be read; returns the reason it cannot (empty
  // when it can).
  QString Check(QTreeWidgetItem* item) const;
  void RemoveSelected();
};

}  // namespace kelvane
