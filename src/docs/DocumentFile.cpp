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

void AppendParagraph(QStringView paragraph, bool last, QByteArray& out) {
  if (last && paragraph.isEmpty()) return;
  Big5Codec::encode(paragraph, out);
  out.append("\r\n", 2);
}

// Replaces the editor's whole text with a file's, the byte count taken from
// the file rather than counted again.
void SetEditorText(DocEditor& editor, const DocumentText& text, const QByteArray& file) {
  DocumentBytes::of(editor.document())->replaceAll(text, file, [&] {
    editor.setPlainText(text.text);
  });
  editor.document()->setModified(false);
  editor.updateStatus();
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
    out.paragraphStarts.push_back(pos);
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
  const QByteArray file = ReadFileBytes(nativePath);
  SetEditorText(editor, ReadDocumentBytes(file), file);
  editor.setFileName(nativePath);
}

void ReadTextFile(DocEditor& editor, const QString& nativePath, bool add) {
  WaitCursor busy;
  const QByteArray file = ReadFileBytes(nativePath);
  DocumentText text = ReadDocumentBytes(file);
  if (!add) {
    SetEditorText(editor, text, file);
    return;
  }
  // The file's lines, not counting the empty rest after a final line break.
  if (text.paragraphBytes.back() == 0) {
    text.text.chop(text.text.size() - text.text.lastIndexOf(u'\n'));
    text.paragraphBytes.pop_back();
    text.paragraphStarts.pop_back();
    if (text.paragraphBytes.empty()) return;
  }
  QTextDocument* doc = editor.document();
  const bool modified = doc->isModified();
  QTextCursor at(doc->lastBlock());
  text.text.append(u'\n');
  at.insertText(text.text);
  doc->setModified(modified);
}

void SaveDocumentFile(QTextDocument& doc, const QString& nativePath) {
  AtomicFileWriter file(nativePath);
  DocumentBytes::of(&doc)->write([&](const char* p, qsizetype n) { file.write(p, n); });
  file.commit();
}

void SaveDocumentFile(DocEditor& editor, const QString& nativePath) {
  WaitCursor busy;
  SaveDocumentFile(*editor.document(), nativePath);
  editor.document()->setModified(false);
}

void ClearDocument(DocEditor& editor) {
  SetEditorText(editor, DocumentText{QString(), {0}, {0}}, QByteArray());
}

}  // namespace rix
