#pragma once

// What the window tells the person about a run: which messages come up in a box,
// what the boxes and the list of messages say, and the status line after the run.

#include <QList>
#include <QString>
#include <set>
#include <string>
#include <vector>

#include "app/conversion_run.h"
#include "messages/message.h"
#include "platform/file_error.h"

namespace kelvane {

// How many messages of a run were about a runner (their place names an entry), a
// race (a race of the card) or a whole archive (anything else).
struct FailureCounts {
  int archives = 0;
  int races = 0;
  int runners = 0;

  bool Any() const { return archives + races + runners > 0; }
};

// Every message of one run, in order. Each text comes up in a box only the first
// time; the others are gathered for the list shown afterwards.
class RunReport {
 public:
  // Keeps `message`; true when its text is new in this run, so that it is boxed.
  bool Gather(const Message& message);

  const std::vector<Message>& messages() const { return messages_; }
  FailureCounts Counts() const;

 private:
  std::vector<Message> messages_;
  std::set<std::string> boxed_;
};

// An archive that cannot be read, and the system's reason why.
struct UnreadableArchive {
  QString path;
  QString reason;

  bool operator==(const UnreadableArchive&) const = default;
};

// The system's words for what failed.
QString ReasonText(const OsFailure& failure);

// The file name of `path` as a box shows it: escaped as messages show names, so that
// it stays on its line and is what it is.
QString ShownFileName(const QString& path);

// What is said of a file that cannot be read, by its name, as the run's messages say
// what failed: "ファイル '0921.lzh' を読み込めません（No such file or directory）".
QString UnreadableFileText(const QString& path, const QString& reason);

// The box that names the archives that cannot be read, each with its reason, the
// first ten of them when there are more.
QString UnreadableArchivesBoxText(const QList<UnreadableArchive>& archives);

// A text of the run (UTF-8, CR LF between its lines) as a message box shows it.
QString MessageBoxText(const std::string& text);

// A message as its box shows it: the fixed text and, below it, where it happened,
// the archive by its file name.
QString BoxText(const Message& message);

// Every message, one a line, each after its place (the archive as listed); the
// second line of a two-line text indented under the first.
QString MessageListText(const std::vector<Message>& messages);

// What the status line says after a run: how many races were written and where, what
// failed, or that no database was written (the run cancelled, too).
QString RunStatusText(const ConversionOutcome& outcome, const FailureCounts& failures,
                      const QString& outputPath);

}  // namespace kelvane
