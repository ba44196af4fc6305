// demoemu: a stand-in emulator for the demo catalogue. It runs no game; it
// shows what the front end handed it (the command line, one argument per
// line, the working directory and what each argument names on disk), so that
// every launch setting of the catalogue can be seen at work.
//
// With RIX_DEMOEMU_LOG set to a file path, the same report is appended to that
// file as UTF-8 text and the program ends at once without a window; tests use
// this to see the launch from outside.

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <cstdio>

namespace {

constexpr int kListingLimit = 20;

QString DescribePath(const QString& arg) {
  if (arg.isEmpty()) return {};
  const QFileInfo info(arg);
  if (info.isDir()) {
    const QFileInfoList entries =
        QDir(info.filePath())
            .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                           QDir::Name);
    QStringList names;
    for (const QFileInfo& e : entries) {
      if (names.size() == kListingLimit) break;
      names << (e.isDir() ? e.fileName() + "/" : e.fileName());
    }
    QString text = QStringLiteral("    目錄，%1 項").arg(entries.size());
    if (!names.isEmpty()) text += QStringLiteral("：") + names.join(QStringLiteral(", "));
    if (entries.size() > kListingLimit)
      text += QStringLiteral(" …（還有 %1 項）").arg(entries.size() - kListingLimit);
    return text;
  }
  if (info.isFile()) return QStringLiteral("    檔案，%1 位元組").arg(info.size());
  return {};
}

// One report per start. The line shapes are fixed, since tests read the log:
// "[n] argument", then an indented line for an argument naming a file or a
// directory.
QString Report(const QStringList& args) {
  QStringList lines;
  lines << QStringLiteral("示範模擬器 demoemu");
  lines << QStringLiteral("工作目錄: ") + QDir::currentPath();
  lines << QStringLiteral("參數個數: %1").arg(args.size() - 1);
  for (int i = 0; i < args.size(); ++i) {
    lines << QStringLiteral("[%1] %2").arg(i).arg(args[i]);
    const QString what = DescribePath(args[i]);
    if (!what.isEmpty()) lines << what;
  }
  return lines.join('\n') + "\n\n";
}

bool AppendLog(const QString& path, const QString& report) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
  const QByteArray bytes = report.toUtf8();
  return file.write(bytes) == bytes.size();
}

int ShowWindow(int argc, char** argv, const QString& report) {
  QApplication app(argc, argv);
  QDialog window;
  window.setWindowTitle(QStringLiteral("示範模擬器"));
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(
      new QLabel(QStringLiteral("這是 RIX FrontEnd 的示範模擬器，不會執行遊戲，"
                                "只列出前端傳來的命令列。")));
  auto* text = new QPlainTextEdit(report.trimmed());
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox;
  QPushButton* close = buttons->addButton(QStringLiteral("關閉"), QDialogButtonBox::AcceptRole);
  close->setDefault(true);
  QObject::connect(close, &QPushButton::clicked, &window, &QDialog::accept);
  layout->addWidget(buttons);
  window.resize(640, 420);
  window.show();
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  // Taken before QApplication exists: it would remove arguments of its own
  // (-style, -reverse, ...) that an emulator's command line may well hold.
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const QString report = Report(args);

  const QString log = qEnvironmentVariable("RIX_DEMOEMU_LOG");
  if (!log.isEmpty()) {
    if (AppendLog(log, report)) return 0;
    std::fprintf(stderr, "demoemu: cannot append to %s\n", log.toLocal8Bit().constData());
    return 1;
  }
  return ShowWindow(argc, argv, report);
}
