#include "docs/DocumentFile.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "docs/DocumentBytes.h"
#include "platform/Big5Codec.h"
#include "platform/FileOps.h"
#include "widgets/DocEditor.h"
#include "widgets/WaitCursor.h"

namespace rix {

namespace {

constexpr char kCtrlZ = 26;
constexpr qsizetype kWriteChunk = 1 << 20;

void AppendParagraph(QStringView paragraph, bool last, QByteArray& out) {
  if (last && paragraph.isEmpty()) return;
  Big5Codec::encode(paragraph, out);
  out.append("\r\n", 2);
}

// Replaces the editor's whole text with a file's, the byte count taken from
// the file rather than counted again.
void SetEditorText(DocEditor& editor, const DocumentText& text) {
  DocumentBytes::of(editor.document())->replaceAll(text.paragraphBytes, [&] {
    editor.setPlainText(text.text);
  });
  editor.document()->setModified(false);
}

}  // namespace

DocumentText ReadDocumentBytes(QByteArrayView bytes) {
  DocumentText out;
  qsizetype end = bytes.indexOf(kCtrlZ);
  if (end < 0) end = bytes.size();
  out.text.reserve(end + 1);
  const char* p = bytes.data();
  qsizetype pos = 0;
  for (;;) {
    qsizetype lineEnd = pos;
    while (lineEnd < end && p[lineEnd] != '\r' && p[lineEnd] != '\n') ++lineEnd;
    qsizetype kept = lineEnd;
    while (kept > pos && (p[kept - 1] == ' ' || p[kept - 1] == '\t')) --kept;
    Big5Codec::decode(bytes.sliced(pos, kept - pos), out.text);
    out.paragraphBytes.push_back(static_cast<int>(kept - pos));
    if (lineEnd == end) break;
    out.text.append(u'\n');
    pos = lineEnd + 1;
    if (p[lineEnd] == '\r' && pos < end && p[pos] == '\n') ++pos;
  }
  return out;
}

QStringList DocumentParagraphs(const DocumentText& doc) { return doc.text.split(u'\n'); }

QByteArray FormatParagraphs(const QStringList& paragraphs) {
  QByteArray out;
  for (qsizetype i = 0; i < paragraphs.size(); ++i)
    AppendParagraph(paragraphs[i], i + 1 == paragraphs.size(), out);
  return out;
}

void LoadDocumentFile(DocEditor& editor, const QString& nativePath) {
  WaitCursor busy;
  const DocumentText text = ReadDocumentBytes(ReadFileBytes(nativePath));
  SetEditorText(editor, text);
  editor.setFileName(nativePath);
}

void ReadTextFile(DocEditor& editor, const QString& nativePath, bool add) {
  WaitCursor busy;
  DocumentText text = ReadDocumentBytes(ReadFileBytes(nativePath));
  if (!add) {
    SetEditorText(editor, text);
    return;
  }
  // The file's lines, not counting the empty rest after a final line break.
  if (text.paragraphBytes.back() == 0) {
    text.text.chop(text.text.size() - text.text.lastIndexOf(u'\n'));
    text.paragraphBytes.pop_back();
    if (text.paragraphBytes.empty()) return;
  }
  QTextDocument* doc = editor.document();
  const bool modified = doc->isModified();
  QTextCursor at(doc->lastBlock());
  text.text.append(u'\n');
  at.insertText(text.text);
  doc->setModified(modified);
}

void SaveDocumentFile(const QTextDocument& doc, const QString& nativePath) {
  AtomicFileWriter file(nativePath);
  QByteArray buffer;
  buffer.reserve(kWriteChunk * 2);
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    AppendParagraph(b.text(), !b.next().isValid(), buffer);
    if (buffer.size() >= kWriteChunk) {
      file.write(buffer.constData(), buffer.size());
      buffer.truncate(0);
    }
  }
  file.write(buffer.constData(), buffer.size());
  file.commit();
}

void SaveDocumentFile(DocEditor& editor, const QString& nativePath) {
  WaitCursor busy;
  SaveDocumentFile(*editor.document(), nativePath);
  editor.document()->setModified(false);
}

void ClearDocument(DocEditor& editor) { SetEditorText(editor, DocumentText{QString(), {0}}); }

}  // namespace rix
