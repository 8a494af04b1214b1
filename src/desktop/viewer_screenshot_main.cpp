// Renders the database viewer into a PNG, for the documentation, on any Qt platform
// (QT_QPA_PLATFORM=offscreen needs no display):
//
//   kelvane-viewer-screenshot PICTURE.png DATABASE.pdb
//
// The first race is selected, and its second runner, so that all three tables show;
// the picture is the size the viewer takes of its own.

#include <QApplication>
#include <QTableView>
#include <cstdio>

#include "desktop/database_viewer.h"
#include "desktop/desktop_prompts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: kelvane-viewer-screenshot PICTURE.png DATABASE.pdb\n");
    return 2;
  }
  QString reason;
  auto db = kelvane::ReadDatabaseFile(args[1], reason);
  if (!db) {
    std::fprintf(stderr, "kelvane-viewer-screenshot: %s\n", qPrintable(reason));
    return 1;
  }
  kelvane::DatabaseViewer viewer(std::move(*db), args[1], *kelvane::SystemPrompts().boxes);
  viewer.show();
  viewer.findChild<QTableView*>(QStringLiteral("runners"))->selectRow(1);
  QApplication::processEvents();
  if (!viewer.grab().save(args[0])) {
    std::fprintf(stderr, "kelvane-viewer-screenshot: cannot write %s\n", qPrintable(args[0]));
    return 1;
  }
  return 0;
}
