#include "desktop/start_arguments.h"

#include <QDir>
#include <QTest>
#include <vector>

#include "desktop/about_dlg.h"

namespace kelvane {
namespace {

class StartArgumentsTest : public QObject {
  Q_OBJECT

 private slots:
  void HelpAndVersionAreAnsweredBeforeAnyWindow_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("begins");
    QTest::newRow("version") << QStringList{"--version"} << "kelvane-desktop 3.0.0\n";
    QTest::newRow("help after a file") << QStringList{"a.lzh", "--help"} << "usage: kelvane-desktop";
    QTest::newRow("-h") << QStringList{"-h"} << "usage: kelvane-desktop";
    QTest::newRow("a file named --help") << QStringList{"--", "--help"} << "";
    QTest::newRow("files only") << QStringList{"a.lzh"} << "";
  }

  void HelpAndVersionAreAnsweredBeforeAnyWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, begins);
    std::vector<QByteArray> bytes{"kelvane-desktop"};
    for (const QString& argument : arguments) bytes.push_back(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& argument : bytes) argv.push_back(argument.data());
    const auto text = InformationRequested(static_cast<int>(argv.size()), argv.data());
    QCOMPARE(text.has_value(), !begins.isEmpty());
    if (text) QVERIFY(QString::fromStdString(*text).startsWith(begins));
  }

  void FilesAreSortedIntoArchivesAndDatabasesAsFullPaths() {
    const QString here = QDir::currentPath() + QLatin1Char('/');
    const StartFiles files =
        SortStartFiles({"/r/a.lzh", "b.lzh", "c.PDB", "-x", "--", "-d.lzh", "/r/a.lzh"});
    QCOMPARE(files.archives, (QStringList{"/r/a.lzh", here + "b.lzh", here + "-d.lzh", "/r/a.lzh"}));
    QCOMPARE(files.databases, QStringList{here + "c.PDB"});
    QCOMPARE(files.unknownOption, QStringLiteral("-x"));
  }

  void AboutBoxNamesTheProgramVersion() {
    QCOMPARE(AboutVersionText(), QStringLiteral("Kelvane DeskTop for [Kelvane for Palm OS] Version 3.0"));
  }
};

}  // namespace
}  // namespace kelvane

QTEST_APPLESS_MAIN(kelvane::StartArgumentsTest)
#include "start_arguments_test.moc"
