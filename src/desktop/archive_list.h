#pragma once

#include <QStringList>
#include <QTreeWidget>

class QMimeData;

namespace kelvane {

// The local files a drag from a file manager carries (text/uri-list), in its order.
QStringList DroppedLocalFiles(const QMimeData& data);

// The archive list: one entry per archive, its text the full path (also its tooltip,
// as long paths are shortened in the middle), in the order the entries were added.
// Archives dropped onto it are added as if chosen; Delete and Backspace remove the
// selected entries.
class ArchiveList : public QTreeWidget {
  Q_OBJECT

 public:
  explicit ArchiveList(QWidget* parent);

  // Appends the paths not listed yet, in their order. Paths compare exactly: one
  // that differs only in letter case is another file.
  void Add(const QStringList& paths);
  QStringList Paths() const;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace kelvane
