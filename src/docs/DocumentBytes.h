#pragma once

#include <QByteArray>
#include <QObject>
#include <functional>
#include <vector>

class QTextDocument;

namespace rix {

struct DocumentText;

// The bytes of a document: its byte count (the Big5 size of its text, each
// paragraph break counting two) and what a save writes. Both follow the
// document edit by edit, so that a keystroke costs the size of the
// paragraphs it touched, never the size of the document, and a save writes
// the paragraphs nobody touched straight from the bytes they were read from.
class DocumentBytes : public QObject {
  Q_OBJECT

public:
  // The bytes of a document, made (as the document's child) on first use.
  static DocumentBytes* of(QTextDocument* doc);

  qint64 total() const { return total_; }
  // Runs setText, which replaces the whole text with the paragraphs read from
  // file into text, without counting or encoding them again.
  void replaceAll(const DocumentText& text, const QByteArray& file,
                  const std::function<void()>& setText);
  // Hands what a save writes to sink a piece at a time: every paragraph
  // followed by CR LF, except that an empty last paragraph is not written.
  void write(const std::function<void(const char*, qsizetype)>& sink) const;

private:
  struct Paragraph {
    int bytes;         // without its break
    qsizetype origin;  // where its bytes start in file_; -1 once it changed
  };

  explicit DocumentBytes(QTextDocument* doc);
  void changed(int position, int removed, int added);
  void recountAll();
  void sumUp();
  void writeEncoded(const std::function<void(const char*, qsizetype)>& sink) const;

  QTextDocument* doc_;
  std::vector<Paragraph> paragraphs_;
  QByteArray file_;
  qint64 total_ = 0;
  bool suspended_ = false;
};

}  // namespace rix
