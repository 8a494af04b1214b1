#pragma once

// What the window asks of the person and of the desktop: file choosers, message boxes
// and the shell. Each is a small interface so that tests answer them in advance
// instead of showing real dialogs.

#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace kelvane {

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The archives chosen in the open dialog, as full paths in the dialog's order;
  // empty when the dialog was cancelled.
  virtual QStringList ChooseArchives(QWidget* owner) = 0;
  // The database path chosen in the save dialog; empty when it was cancelled.
  virtual QString ChooseOutputPath(QWidget* owner) = 0;
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A message with the exclamation icon and one OK button.
  virtual void ShowWarning(QWidget* owner, const QString& text) = 0;
  // A file error with the stop icon and one OK button.
  virtual void ShowStop(QWidget* owner, const QString& text) = 0;
};

class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  // Hands a file, web page or mail address to the desktop; whatever happens is not
  // looked at.
  virtual void Open(const QUrl& url) = 0;
};

struct DesktopPrompts {
  FileChooser* files;
  MessageBoxes* boxes;
  UrlOpener* shell;
};

// The real dialogs, message boxes and desktop services.
DesktopPrompts SystemPrompts();

}  // namespace kelvane
