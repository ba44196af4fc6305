#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <vector>

class QTextDocument;

namespace rix {

class DocEditor;

// A documentation file is Big5 text, one paragraph per line. Reading: a line
// ends at CR, CR LF or LF; Ctrl-Z ends the file; blanks (spaces, tabs) at the
// end of a line are dropped; a line is kept whole however long it is. Bytes
// that are not valid Big5 are kept (see Big5Codec), so an unedited document
// saves back to the bytes it was read from, but for those rules and the CR LF
// line ends.
struct DocumentText {
  QString text;                            // the paragraphs joined by "\n"; none holds a "\n"
  std::vector<int> paragraphBytes;         // the Big5 size of each paragraph
  std::vector<qsizetype> paragraphStarts;  // where each one's bytes start in the file
};

DocumentText ReadDocumentBytes(QByteArrayView bytes);
QStringList DocumentParagraphs(const DocumentText& doc);
// What a save writes: every paragraph followed by CR LF, except that an empty
// last paragraph is not written.
QByteArray FormatParagraphs(const QStringList& paragraphs);

// The editor operations on files. Failures throw FileError; a failed save
// leaves the old file as it was.

// Empties the editor and reads the file into it; the editor remembers the path
// as its file name; modified flag and undo history cleared.
void LoadDocumentFile(DocEditor& editor, const QString& nativePath);
// add = false: as the load, but the editor's file name stays. add = true:
// every line of the file becomes a new paragraph before the document's last
// paragraph, in file order; the caret stays with its text and the modified
// flag is left as it was.
void ReadTextFile(DocEditor& editor, const QString& nativePath, bool add);
// Writes the document (see FormatParagraphs) by way of a temporary file renamed
// over the target, then clears the modified flag.
void SaveDocumentFile(DocEditor& editor, const QString& nativePath);
void SaveDocumentFile(QTextDocument& doc, const QString& nativePath);
// One empty paragraph, modified flag cleared.
void ClearDocument(DocEditor& editor);

}  // namespace rix
