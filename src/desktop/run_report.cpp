#include "desktop/run_report.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtGlobal>
#include <algorithm>
#include <filesystem>

#include "app/user_texts.h"

namespace kelvane {
namespace {

// "失敗: 書庫 4、レース 1", naming only what failed.
QString FailureText(const FailureCounts& failures) {
  QStringList parts;
  const auto add = [&parts](const char* what, int count) {
    if (count > 0) parts.append(QString::fromUtf8(what) + QLatin1Char(' ') + QString::number(count));
  };
  add("書庫", failures.archives);
  add("レース", failures.races);
  add("出走馬", failures.runners);
  return QStringLiteral("失敗: ") + parts.join(QStringLiteral("、"));
}

}  // namespace

bool RunReport::Gather(const Message& message) {
  messages_.push_back(message);
  return boxed_.insert(message.text).second;
}

FailureCounts RunReport::Counts() const {
  FailureCounts counts;
  for (const Message& message : messages_) {
    if (message.place.entry > 0) {
      ++counts.runners;
    } else if (message.place.cardRace > 0) {
      ++counts.races;
    } else {
      ++counts.archives;
    }
  }
  return counts;
}

QString ReasonText(const OsFailure& failure) { return QString::fromLocal8Bit(failure.reason()); }

QString ShownFileName(const QString& path) {
  return QString::fromStdString(EscapedName(QFile::encodeName(QFileInfo(path).fileName()).toStdString()));
}

QString UnreadableFileText(const QString& path, const QString& reason) {
  return QStringLiteral("ファイル '%1' を読み込めません（%2）").arg(ShownFileName(path), reason);
}

QString UnreadableArchivesBoxText(const QList<UnreadableArchive>& archives) {
  constexpr qsizetype kMostNamed = 10;  // a box taller than the screen cannot be answered
  QStringList lines;
  for (qsizetype i = 0; i < std::min(archives.size(), kMostNamed); ++i) {
    lines.append(UnreadableFileText(archives[i].path, archives[i].reason));
  }
  if (archives.size() > kMostNamed) {
    lines.append(QStringLiteral("ほか %1 件").arg(archives.size() - kMostNamed));
  }
  return lines.join(QLatin1Char('\n'));
}

// A message box label breaks lines at a bare line feed.
QString MessageBoxText(const std::string& text) {
  return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString BoxText(const Message& message) {
  MessagePlace place = message.place;
  place.archive = std::filesystem::path(place.archive).filename().string();
  const std::string where = PlaceText(place);
  if (where.empty()) return MessageBoxText(message.text);
  return MessageBoxText(message.text) + QStringLiteral("\n\n") + QString::fromStdString(where);
}

QString MessageListText(const std::vector<Message>& messages) {
  QStringList lines;
  for (const Message& message : messages) {
    const std::string where = PlaceText(message.place);
    QString line = where.empty() ? QString() : QString::fromStdString(where) + QStringLiteral(": ");
    line += QString::fromStdString(message.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n    "));
    lines.append(line);
  }
  return lines.join(QLatin1Char('\n'));
}

QString RunStatusText(const ConversionOutcome& outcome, const FailureCounts& failures,
                      const QString& outputPath) {
  if (outcome.stopped) return QStringLiteral("中止しました。データベースは書き込まれませんでした。");
  if (!outcome.written) {
    QString text = QStringLiteral("データベースは書き込まれませんでした。");
    if (failures.Any()) text += QLatin1Char('\n') + FailureText(failures);
    return text;
  }
  QString text = QStringLiteral("%1 レースを書き込みました").arg(outcome.racesWritten);
  if (failures.Any()) text += QStringLiteral("（") + FailureText(failures) + QStringLiteral("）");
  return text + QStringLiteral(":\n") + outputPath;
}

}  // namespace kelvane
