// The documentation editor on a 20 MB Big5 document of 400,000 lines:
//   doc_load       selecting the emulator, from LoadDocument to the text shown,
//                  against reading the file, decoding it and setPlainText on a
//                  plain editor of the same size;
//   doc_keystroke  one typed character, status bar and command states
//                  included, against the same keystroke in a 10-line document;
//   doc_save       saving it to its file, against one buffered write of the
//                  same bytes.
// Then, for the note: a document holding one line of 1 MB, shown and saved.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTextBlock>
#include <chrono>
#include <cstdio>

#include "BenchSupport.h"
#include "app/TMainForm.h"
#include "platform/Big5.h"
#include "platform/FileOps.h"
#include "widgets/DocEditor.h"
#include "widgets/ScriptedDialogs.h"

namespace {

constexpr int kLines = 400000;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Lines of 10 to 90 bytes, about 50 on average: Chinese text with numbers and
// Latin words, now and then a tab or an empty line.
QByteArray MakeDocument(int lines) {
  const QByteArray words[] = {
      rix::Big5Encode(QStringLiteral("模擬器")),   rix::Big5Encode(QStringLiteral("說明文件")),
      rix::Big5Encode(QStringLiteral("按鍵設定")), " ROM ",
      rix::Big5Encode(QStringLiteral("遊戲")),     " joystick ",
      rix::Big5Encode(QStringLiteral("畫面")),     "\t"};
  QByteArray out;
  out.reserve(static_cast<qsizetype>(lines) * 52);
  quint32 seed = 1;
  for (int i = 0; i < lines; ++i) {
    seed = seed * 1103515245u + 12345u;
    const int target = static_cast<int>(10 + (seed >> 8) % 81);
    if (i % 97 == 0) {
      out += "\r\n";
      continue;
    }
    QByteArray line = QByteArray::number(i) + ' ';
    for (int w = static_cast<int>(seed >> 20); line.size() < target; ++w) line += words[w % 8];
    // No blanks at the end, which a load would drop.
    while (line.endsWith(' ') || line.endsWith('\t')) line.chop(1);
    out += line + "\r\n";
  }
  return out;
}

QByteArray Row(const QString& doc) {
  QByteArray line = "Common,1,";
  line += doc.toLatin1();
  line += ",emu\\run,l.lst,games\\,pics\\,\"\",\"\",No,No,No,\"\"\r\n";
  return line;
}

struct Fixture {
  QString appDir;
  QByteArray big;
};

bool MakeFixture(const QString& root, Fixture* fx) {
  fx->appDir = root + "/";
  fx->big = MakeDocument(kLines);
  QByteArray small;
  for (int i = 0; i < 10; ++i) small += "line " + QByteArray::number(i) + " of the small one\r\n";
  const QByteArray longLine = QByteArray(1 << 20, 'x') + "\r\n";
  QByteArray table = "0,1,2,3,4,5,6,7,8,9,10,11,12\r\n";
  table += Row("docs\\small.txt") + Row("docs\\big.txt") + Row("docs\\long.txt");
  return WriteBytes(fx->appDir + "RixFront.ini", table) &&
         WriteBytes(fx->appDir + "EmuTree.ini", "S,1\r\n") &&
         WriteBytes(fx->appDir + "l.lst", "h\r\n,x\r\n") &&
         WriteBytes(fx->appDir + "docs/small.txt", small) &&
         WriteBytes(fx->appDir + "docs/big.txt", fx->big) &&
         WriteBytes(fx->appDir + "docs/long.txt", longLine);
}

// The floor of a load: the file read, decoded and set into a plain editor.
void FloorLoad(QPlainTextEdit& plain, const QString& path) {
  const QByteArray bytes = rix::ReadFileBytes(path);
  QStringDecoder dec("Big5");
  plain.setPlainText(dec.decode(bytes));
  QCoreApplication::processEvents();
}

void Load(TMainForm& form, int row) {
  form.EmuDoc->document()->setModified(false);
  form.LoadDocument(row);
  QCoreApplication::processEvents();
}

// A key as the window system delivers it: the shortcut check, the press, the release.
void Press(QWidget* w, Qt::Key key, const QString& text) {
  QKeyEvent over(QEvent::ShortcutOverride, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(w, &over);
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(w, &release);
}

// Typed characters in the middle of the shown document, each with its status
// update and repaint; the best per-keystroke time of several rounds.
double Keystroke(TMainForm& form, int rounds, int keys) {
  rix::DocEditor* doc = form.EmuDoc;
  QTextCursor c(doc->document()->findBlockByNumber(doc->blockCount() / 2));
  doc->setTextCursor(c);
  doc->setFocus();
  QCoreApplication::processEvents();
  double best = 1e300;
  for (int r = 0; r < rounds; ++r) {
    const double t0 = Now();
    for (int k = 0; k < keys; ++k) {
      Press(doc, Qt::Key_A, QStringLiteral("a"));
      QCoreApplication::processEvents();
    }
    best = std::min(best, (Now() - t0) / keys);
    for (int k = 0; k < keys; ++k) Press(doc, Qt::Key_Backspace, QString());
    QCoreApplication::processEvents();
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir tmp;
  Fixture fx;
  if (!tmp.isValid() || !MakeFixture(tmp.path(), &fx)) {
    std::fprintf(stderr, "cannot build the fixture under %s\n", qPrintable(tmp.path()));
    return 1;
  }
  std::printf("# document %lld bytes, %d lines\n", static_cast<long long>(fx.big.size()), kLines);
  std::fflush(stdout);

  rix::ScriptedDialogs dialogs;
  MainFormSetup s;
  s.appDir = fx.appDir;
  s.tempDir = fx.appDir + "tmp/";
  s.dialogs = &dialogs;
  TMainForm form(s);
  form.resize(800, 600);
  form.show();
  form.RomPage->setCurrentIndex(2);
  QCoreApplication::processEvents();
  // The floor's editor: the same size, the same font, shown.
  QPlainTextEdit plain;
  plain.setFont(form.EmuDoc->font());
  plain.setLineWrapMode(QPlainTextEdit::NoWrap);
  plain.resize(form.EmuDoc->size());
  plain.show();
  QCoreApplication::processEvents();

  const QString bigPath = fx.appDir + "docs/big.txt";
  const int reps = 5;
  double ours = 1e300, floor = 1e300;
  for (int i = 0; i < reps; ++i) {
    Load(form, 1);
    plain.clear();
    QCoreApplication::processEvents();
    floor = std::min(floor, rixbench::BestSeconds(1, [&] { FloorLoad(plain, bigPath); }));
    ours = std::min(ours, rixbench::BestSeconds(1, [&] { Load(form, 2); }));
  }
  if (form.EmuDoc->blockCount() != kLines + 1)
    std::printf("# warning: %d paragraphs shown\n", form.EmuDoc->blockCount());
  plain.clear();
  rixbench::Report("doc_load", ours, floor);

  const double bigKey = Keystroke(form, 5, 100);
  Load(form, 1);
  const double smallKey = Keystroke(form, 5, 100);
  rixbench::Report("doc_keystroke", bigKey, smallKey, "ours_ms", "ten_lines_ms");

  Load(form, 2);
  // An edit, undone: that paragraph is encoded again, the rest written as read.
  {
    QTextCursor c(form.EmuDoc->document()->findBlockByNumber(kLines / 2));
    c.insertText(QStringLiteral("x"));
    form.EmuDoc->undo();
  }
  const QString plainPath = fx.appDir + "plain.txt";
  double save = 1e300, write = 1e300;
  for (int i = 0; i < reps; ++i) {
    write = std::min(write, rixbench::BestSeconds(1, [&] {
                       std::FILE* f = std::fopen(QFile::encodeName(plainPath).constData(), "wb");
                       std::fwrite(fx.big.constData(), 1, static_cast<size_t>(fx.big.size()), f);
                       std::fclose(f);
                     }));
    save = std::min(save, rixbench::BestSeconds(1, [&] { form.MemoSave1Click(); }));
  }
  if (rix::ReadFileBytes(bigPath) != fx.big) std::printf("# warning: the save changed the bytes\n");
  rixbench::Report("doc_save", save, write, "ours_ms", "write_ms");
  // The same document with every paragraph changed since the load: all of it encoded.
  form.EmuDoc->setPlainText(form.EmuDoc->toPlainText());
  const double encoded = rixbench::BestSeconds(3, [&] { form.MemoSave1Click(); });
  if (rix::ReadFileBytes(bigPath) != fx.big) std::printf("# warning: the save changed the bytes\n");
  std::printf("# doc_save with every paragraph changed ours_ms=%.3f ratio=%.3f\n", encoded * 1e3,
              encoded / write);

  // One line of 1 MB.
  Load(form, 1);
  const double shown = rixbench::BestSeconds(1, [&] { Load(form, 3); });
  const double longKey = Keystroke(form, 1, 5);
  const double longSave = rixbench::BestSeconds(3, [&] { form.MemoSave1Click(); });
  std::printf("# one_mb_line show_ms=%.3f keystroke_ms=%.3f save_ms=%.3f\n", shown * 1e3,
              longKey * 1e3, longSave * 1e3);
  if (!dialogs.shown().isEmpty())
    std::printf("# warning: %d boxes shown, first: %s\n", static_cast<int>(dialogs.shown().size()),
                qPrintable(dialogs.shown().first().text));
  return 0;
}
