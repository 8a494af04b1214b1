// Renders the main window with archives listed into a PNG, for the documentation.
//
//   kelvane-desktop-screenshot PICTURE.png [--convert OUTPUT.pdb] ARCHIVE...
//
// With --convert the listed archives are also converted into OUTPUT.pdb, so the
// picture shows the status line of a finished run. Messages go to stderr.

#include <QApplication>
#include <QPushButton>
#include <cstdio>

#include "desktop/scripted_prompts.h"
#include "desktop/desktop_app.h"
#include "desktop/desktop_dlg.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName(QString::fromUtf8(kelvane::kApplicationName));
  QStringList args = app.arguments().mid(1);
  if (args.isEmpty() || (args.size() < 3 && args.contains(QStringLiteral("--convert")))) {
    std::fprintf(stderr,
                 "usage: kelvane-desktop-screenshot PICTURE.png [--convert OUTPUT.pdb] ARCHIVE...\n");
    return 2;
  }
  const QString picture = args.takeFirst();
  kelvane::ScriptedPrompts prompts;
  if (args.first() == QStringLiteral("--convert")) {
    args.removeFirst();
    prompts.outputPath = args.takeFirst();
  }
  prompts.archives = args;

  kelvane::CDesktopDlg dlg(prompts.Prompts());
  dlg.findChild<QPushButton*>(QStringLiteral("select1001"))->click();
  if (!prompts.outputPath.isEmpty()) dlg.findChild<QPushButton*>(QStringLiteral("create1002"))->click();
  for (const QString& message : prompts.warnings + prompts.stops) {
    std::fprintf(stderr, "kelvane-desktop-screenshot: %s\n", qPrintable(message));
  }

  dlg.show();
  QApplication::processEvents();
  if (!dlg.grab().save(picture)) {
    std::fprintf(stderr, "kelvane-desktop-screenshot: cannot write %s\n", qPrintable(picture));
    return 1;
  }
  return 0;
}
