#include "app/StartArguments.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace rix {

namespace {

// Qt's own command-line options; their values must not be taken for the
// catalogue directory.
const char* const kQtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "qmljsdebugger"};
const char* const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

QString Usage(const QString& program, const QString& userDataDir) {
  // Named as the directory rules will write it.
  QString dataDir = QDir::cleanPath(userDataDir);
  if (!dataDir.endsWith(u'/')) dataDir += u'/';
  return QStringLiteral(
             "Usage: %1 [options] [catalogue-directory]\n"
             "用法：%1 [選項] [模擬器列表目錄]\n"
             "\n"
             "RIX FrontEnd, a front end for game emulators. It opens the emulator catalogue\n"
             "(RixFront.ini and EmuTree.ini) in the catalogue directory. Without one it uses\n"
             "the program's own directory when that holds RixFront.ini, otherwise\n"
             "%2, where the first start creates an empty catalogue.\n"
             "\n"
             "RIX FrontEnd 是遊戲模擬器的前端程式，開啟目錄中的模擬器列表（RixFront.ini 與\n"
             "EmuTree.ini）。未指定目錄時，程式所在的目錄有 RixFront.ini 就使用該目錄，否則使用\n"
             "%2，第一次啟動時在那裡建立空白的模擬器列表。\n"
             "\n"
             "Options / 選項:\n"
             "  -h, --help     Show this help and exit. / 顯示這份說明後結束。\n"
             "  -v, --version  Show the version and exit. / 顯示版本後結束。\n")
      .arg(program, dataDir);
}

StartArguments Failure(const QString& program, const QString& line) {
  StartArguments result;
  result.action = StartArguments::Action::Fail;
  result.exitCode = 2;
  result.text = program + QStringLiteral(": ") + line + u'\n';
  return result;
}

QString Quoted(const QString& text) { return u'\'' + text + u'\''; }

// The option as the user typed it, dashes included (the parser keeps only its name).
QString AsTyped(const QStringList& args, const QString& name) {
  for (const QString& a : args) {
    QString bare = a.section(u'=', 0, 0);
    if (bare.startsWith(u'-') &&
        QStringView(bare).mid(bare.startsWith(QLatin1String("--")) ? 2 : 1) == name)
      return bare;
  }
  return name;
}

}  // namespace

StartArguments StartArguments::Parse(const QStringList& arguments, const QString& userDataDir) {
  const QString program =
      arguments.isEmpty() ? QStringLiteral("rixfront") : QFileInfo(arguments.first()).fileName();

  QCommandLineParser parser;
  // Qt's options are single-dash words; so are ours in that mode (-help works too).
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  parser.addOption(help);
  parser.addOption(version);
  for (const char* name : kQtValueOptions) {
    QCommandLineOption o(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    o.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(o);
  }
  for (const char* name : kQtFlagOptions) {
    QCommandLineOption o(QString::fromLatin1(name));
    o.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(o);
  }

  QStringList args = arguments;
  if (args.isEmpty()) args << program;
  if (!parser.parse(args)) {
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty()) return Failure(program, parser.errorText());
    return Failure(program, QStringLiteral("不明的選項 %1 (unknown option; see %2 --help)")
                                .arg(Quoted(AsTyped(args, unknown.first())), program));
  }

  StartArguments result;
  if (parser.isSet(help)) {
    result.action = Action::Help;
    result.text = Usage(program, userDataDir);
    return result;
  }
  if (parser.isSet(version)) {
    result.action = Action::Version;
    result.text = QStringLiteral("RIX FrontEnd " RIX_VERSION "\n");
    return result;
  }

  const QStringList positional = parser.positionalArguments();
  if (positional.size() > 1)
    return Failure(
        program, QStringLiteral("只能指定一個目錄 (only one catalogue directory may be given): %1")
                     .arg(Quoted(positional.join(QStringLiteral("' '")))));
  // An empty argument counts as none, as the directory rules take it.
  if (!positional.isEmpty() && !positional.first().isEmpty()) {
    const QString& dir = positional.first();
    const QFileInfo info(dir);
    if (!info.exists())
      return Failure(program, QStringLiteral("找不到目錄 %1 (no such directory)").arg(Quoted(dir)));
    // A catalogue file opened from a file manager (the menu entry's %f)
    // stands for its directory.
    if (info.isFile() &&
        info.fileName().compare(QLatin1String("RixFront.ini"), Qt::CaseInsensitive) == 0) {
      result.directory = QStringList{info.absolutePath()};
      return result;
    }
    if (!info.isDir())
      return Failure(program, QStringLiteral("%1 不是目錄 (not a directory)").arg(Quoted(dir)));
    result.directory = positional;
  }
  return result;
}

}  // namespace rix
