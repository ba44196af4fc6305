#include <gtest/gtest.h>

#include <QDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "TestSupport.h"
#include "docs/DocumentBytes.h"
#include "docs/DocumentFile.h"
#include "platform/Big5Codec.h"
#include "platform/FileError.h"
#include "widgets/DocEditor.h"

using namespace rix;

namespace {

QStringList Paragraphs(const QTextDocument& doc) {
  QStringList out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) out << b.text();
  return out;
}

qint64 Counted(const QStringList& paragraphs) {
  qint64 n = 2 * (paragraphs.size() - 1);
  for (const QString& p : paragraphs) n += Big5Codec::byteLength(p);
  return n;
}

}  // namespace

TEST(DocumentFile, LoadAndSaveAreByteExact) {
  struct Vector {
    const char* what;
    QByteArray file;
    QStringList paragraphs;
    QByteArray saved;
  };
  QByteArray controls;  // every byte that is no line end, Ctrl-Z or blank
  for (int c = 0; c < 256; ++c)
    if (c != '\r' && c != '\n' && c != 26 && c != ' ' && c != '\t') controls.append(char(c));
  const QByteArray longLine(100000, 'x');
  const QByteArray bad("\xA4\xA4\xA3\xC0 \xFF\x80\xA2\xCC\xA4");
  const Vector vectors[] = {
      {"CR LF", "a\r\nb\r\n", {"a", "b", ""}, "a\r\nb\r\n"},
      {"CR alone", "a\rb\r", {"a", "b", ""}, "a\r\nb\r\n"},
      {"LF alone", "a\nb\n", {"a", "b", ""}, "a\r\nb\r\n"},
      {"LF CR is two ends", "a\n\rb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
      {"no final break", "a\r\nb", {"a", "b"}, "a\r\nb\r\n"},
      {"empty lines", "\r\n\r\na\r\n\r\n", {"", "", "a", "", ""}, "\r\n\r\na\r\n\r\n"},
      {"empty file", "", {""}, ""},
      {"Ctrl-Z ends the file", QByteArray("a\r\nb\x1a\r\nc"), {"a", "b"}, "a\r\nb\r\n"},
      {"trailing blanks", "a \t \r\n \tb  \n", {"a", " \tb", ""}, "a\r\n \tb\r\n"},
      {"bad Big5",
       bad,
       {QStringLiteral("中\uF8A3\uF8C0 \uF8FF\uF880十\uFE00\uF8A4")},
       bad + "\r\n"},
      {"control bytes", controls, {Big5Codec::decode(controls)}, controls + "\r\n"},
      {"a line longer than 32,767",
       longLine + "\nz",
       {QString(longLine), "z"},
       longLine + "\r\nz\r\n"},
  };
  rixtest::ScratchDir dir;
  DocEditor editor;
  for (const Vector& v : vectors) {
    SCOPED_TRACE(v.what);
    const DocumentText text = ReadDocumentBytes(v.file);
    EXPECT_EQ(DocumentParagraphs(text), v.paragraphs);
    EXPECT_EQ(FormatParagraphs(v.paragraphs), v.saved);
    // Saved once, the file reads back as it was written.
    EXPECT_EQ(FormatParagraphs(DocumentParagraphs(ReadDocumentBytes(v.saved))), v.saved);
    // Through the editor: the text store changes nothing either.
    ASSERT_TRUE(rixtest::WriteAll(dir.file("in.txt"), v.file));
    editor.document()->setModified(true);
    LoadDocumentFile(editor, dir.file("in.txt"));
    EXPECT_EQ(Paragraphs(*editor.document()), v.paragraphs);
    EXPECT_EQ(DocumentBytes::of(editor.document())->total(), Counted(v.paragraphs));
    EXPECT_FALSE(editor.document()->isModified());
    EXPECT_FALSE(editor.document()->isUndoAvailable());
    EXPECT_EQ(editor.fileName(), dir.file("in.txt"));
    SaveDocumentFile(editor, dir.file("out.txt"));
    EXPECT_EQ(rixtest::ReadAll(dir.file("out.txt")), v.saved);
  }
}

TEST(DocumentFile, ReadingAFileReplacesOrGoesBeforeTheLastParagraph) {
  rixtest::ScratchDir dir;
  ASSERT_TRUE(rixtest::WriteAll(dir.file("doc.txt"), "one\r\ntwo\r\nthree"));
  ASSERT_TRUE(rixtest::WriteAll(dir.file("ends.txt"), "x\r\ny\r\n"));
  ASSERT_TRUE(rixtest::WriteAll(dir.file("empty.txt"), ""));
  DocEditor editor;
  LoadDocumentFile(editor, dir.file("doc.txt"));
  QTextCursor caret = editor.textCursor();
  caret.setPosition(5);  // "t|wo"
  editor.setTextCursor(caret);
  ReadTextFile(editor, dir.file("ends.txt"), true);
  EXPECT_EQ(Paragraphs(*editor.document()), QStringList({"one", "two", "x", "y", "three"}));
  EXPECT_EQ(editor.textCursor().position(), 5);
  EXPECT_FALSE(editor.document()->isModified());  // left as it was
  ReadTextFile(editor, dir.file("empty.txt"), true);
  EXPECT_EQ(editor.blockCount(), 5);
  editor.insertPlainText("!");
  ReadTextFile(editor, dir.file("doc.txt"), true);
  EXPECT_EQ(Paragraphs(*editor.document()),
            QStringList({"one", "t!wo", "x", "y", "one", "two", "three", "three"}));
  EXPECT_TRUE(editor.document()->isModified());
  EXPECT_EQ(DocumentBytes::of(editor.document())->total(), Counted(Paragraphs(*editor.document())));
  // Replacing all keeps the file name of the load and clears the flag.
  ReadTextFile(editor, dir.file("ends.txt"), false);
  EXPECT_EQ(Paragraphs(*editor.document()), QStringList({"x", "y", ""}));
  EXPECT_FALSE(editor.document()->isModified());
  EXPECT_EQ(editor.fileName(), dir.file("doc.txt"));
  ClearDocument(editor);
  EXPECT_EQ(Paragraphs(*editor.document()), QStringList({""}));
  EXPECT_EQ(DocumentBytes::of(editor.document())->total(), 0);
}

TEST(DocumentFile, AFailedSaveLeavesTheOldFileAndTheFlag) {
  rixtest::ScratchDir dir;
  ASSERT_TRUE(rixtest::WriteAll(dir.file("doc.txt"), "old\r\n"));
  DocEditor editor;
  LoadDocumentFile(editor, dir.file("doc.txt"));
  editor.insertPlainText(QString(200000, u'n'));
  bool failed = false;
  rixtest::WithFileSizeLimit(65536, [&] {
    try {
      SaveDocumentFile(editor, dir.file("doc.txt"));
    } catch (const FileError&) {
      failed = true;
    }
  });
  EXPECT_TRUE(failed);
  EXPECT_EQ(rixtest::ReadAll(dir.file("doc.txt")), "old\r\n");
  EXPECT_TRUE(editor.document()->isModified());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"doc.txt"});
  EXPECT_THROW(LoadDocumentFile(editor, dir.file("missing.txt")), FileError);
}

TEST(DocumentBytes, CountAndSaveFollowEveryKindOfEdit) {
  QTextDocument doc;
  DocumentBytes* bytes = DocumentBytes::of(&doc);
  EXPECT_EQ(bytes, DocumentBytes::of(&doc));
  auto written = [&] {
    QByteArray out;
    bytes->write([&](const char* p, qsizetype n) { out.append(p, n); });
    return out;
  };
  // Loaded from a file whose lines a save rewrites in several ways.
  const QByteArray file = "a  \nb\r\n\xA4\xA4\r\rc\r\n\r\nlast";
  const DocumentText text = ReadDocumentBytes(file);
  bytes->replaceAll(text, file, [&] { doc.setPlainText(text.text); });
  EXPECT_EQ(written(), FormatParagraphs(DocumentParagraphs(text)));
  const QString pieces[] = {"ab", "中文", "\n", "x\ny", "\n\n", QStringLiteral("\uF8A3"), "😀"};
  QTextCursor c(&doc);
  quint32 seed = 7;
  auto next = [&](quint32 n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  for (int step = 0; step < 400; ++step) {
    const int length = doc.characterCount() - 1;
    c.setPosition(static_cast<int>(next(static_cast<quint32>(length + 1))));
    switch (next(5)) {
      case 0:
      case 1:
        c.insertText(pieces[next(std::size(pieces))]);
        break;
      case 2: {
        const int to = std::min(length, c.position() + static_cast<int>(next(6)));
        c.setPosition(to, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        break;
      }
      case 3:
        doc.undo();
        break;
      default:
        doc.redo();
        break;
    }
    const QStringList now = Paragraphs(doc);
    ASSERT_EQ(bytes->total(), Counted(now)) << "step " << step;
    ASSERT_EQ(written(), FormatParagraphs(now)) << "step " << step;
  }
  // A text nobody loaded: every paragraph encoded, in one pass.
  QStringList many;
  for (int i = 0; i < 3000; ++i) many << QStringLiteral("第%1行").arg(i);
  doc.setPlainText(many.join('\n'));
  EXPECT_EQ(written(), FormatParagraphs(many));
  // Long changed paragraphs go in pieces that keep every character whole.
  const QStringList longOnes = {QString(131071, u'x') + QStringLiteral("😀z"),
                                QString(131071, u'y') + QStringLiteral("十\uFE00")};
  doc.setPlainText(longOnes.join('\n'));
  EXPECT_EQ(written(), FormatParagraphs(longOnes));
}
