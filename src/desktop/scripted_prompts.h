#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

#include "desktop/desktop_prompts.h"

namespace kelvane {

// Prompts answered in advance, for tests and for rendering the window without a
// person: the choosers give the set answers (empty ones stand for a cancelled
// dialog), and messages, the windows they were shown over, and opened addresses are
// recorded. `whileWarning`, when set, runs while a warning is up, as a person
// would act then.
class ScriptedPrompts : public FileChooser, public MessageBoxes, public UrlOpener {
 public:
  QStringList ChooseArchives(QWidget*) override { return archives; }
  QString ChooseOutputPath(QWidget*) override { return outputPath; }
  void ShowWarning(QWidget* owner, const QString& text) override {
    warnings.append(text);
    warningOwners.append(owner);
    if (whileWarning) whileWarning();
  }
  void ShowStop(QWidget*, const QString& text) override { stops.append(text); }
  void Open(const QUrl& url) override { opened.append(url); }

  DesktopPrompts Prompts() { return {this, this, this}; }

  QStringList archives;
  QString outputPath;
  QStringList warnings;
  QList<QWidget*> warningOwners;
  QStringList stops;
  QList<QUrl> opened;
  std::function<void()> whileWarning;
};

}  // namespace kelvane
