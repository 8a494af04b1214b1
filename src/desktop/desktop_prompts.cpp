#include "desktop/desktop_prompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

#include "desktop/desktop_app.h"
#include "desktop/screen_fit.h"

namespace kelvane {
namespace {

// A file dialog as tall as it likes, but never taller or wider than the screen.
bool Confirmed(QFileDialog& dialog, QWidget* owner) {
  FitOnScreen(&dialog, dialog.sizeHint(), owner);
  return dialog.exec() == QDialog::Accepted;
}

class DialogFileChooser : public FileChooser {
 public:
  QStringList ChooseArchives(QWidget* owner) override {
    QFileDialog dialog(owner, QStringLiteral("JRA-VAN出馬表＋競走馬ﾌｧｲﾙを開く(複数選択可）"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters({QStringLiteral("JRA-VAN出馬表＋競走馬ﾌｧｲﾙ (*.lzh)"),
                           QStringLiteral("すべてのファイル (*)")});
    dialog.setDefaultSuffix(QStringLiteral("lzh"));
    if (!Confirmed(dialog, owner)) return {};
    return dialog.selectedFiles();
  }

  QString ChooseOutputPath(QWidget* owner) override {
    QFileDialog dialog(owner, QStringLiteral("PDBファイルとして保存"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);  // asks before replacing a file
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Palm DataBase (*.pdb)"));
    dialog.setDefaultSuffix(QStringLiteral("pdb"));
    if (!Confirmed(dialog, owner) || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
  }
};

class StandardMessageBoxes : public MessageBoxes {
 public:
  void ShowWarning(QWidget* owner, const QString& text) override {
    Show(owner, QMessageBox::Warning, text);
  }
  void ShowStop(QWidget* owner, const QString& text) override {
    Show(owner, QMessageBox::Critical, text);
  }

 private:
  static void Show(QWidget* owner, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QString::fromUtf8(kApplicationName), text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);  // paths may hold '<' or '&'
    // A box raised during a run is answered with the usual pointer, not the wait cursor.
    const bool waiting = QGuiApplication::overrideCursor() != nullptr;
    if (waiting) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (waiting) QGuiApplication::restoreOverrideCursor();
  }
};

class DesktopServicesOpener : public UrlOpener {
 public:
  void Open(const QUrl& url) override { QDesktopServices::openUrl(url); }
};

}  // namespace

DesktopPrompts SystemPrompts() {
  static DialogFileChooser files;
  static StandardMessageBoxes boxes;
  static DesktopServicesOpener shell;
  return {&files, &boxes, &shell};
}

}  // namespace kelvane
