#include "docs/DocumentPrint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <cerrno>

#include "platform/FileError.h"
#include "widgets/DocEditor.h"

namespace rix {

QString PrintableLine(QStringView line, int tabSize, int maxChars, qsizetype blankBefore,
                      qsizetype cutAt) {
  QString out;
  const qsizetype end = cutAt < 0 ? line.size() : std::min(cutAt, line.size());
  for (qsizetype i = 0; i < end && out.size() < maxChars; ++i) {
    const QChar c = line[i];
    if (c == u'\t') {
      out.append(QString(tabSize - out.size() % tabSize, u' '));
    } else {
      out.append(i < blankBefore ? QChar(u' ') : c);
    }
  }
  out.truncate(maxChars);
  return out;
}

QStringList DocumentPrintLines(const DocEditor& editor, bool selectionOnly) {
  QStringList lines;
  const int tab = DocEditor::kTabSize;
  if (!selectionOnly) {
    editor.forEachDisplayLine(1, editor.lineCount(), [&](int, QStringView text) {
      lines << PrintableLine(text, tab, kPrintLineMax);
    });
    return lines;
  }
  const DocEditor::Selection s = editor.selection();
  if (!s.selected) return lines;
  editor.forEachDisplayLine(s.startLine, s.endLine, [&](int n, QStringView text) {
    const qsizetype blank = n == s.startLine ? s.startColumn - 1 : 0;
    const qsizetype cut = n == s.endLine ? s.endColumn - 1 : -1;
    lines << PrintableLine(text, tab, kPrintLineMax, blank, cut);
  });
  return lines;
}

void PrintLines(QPrinter& printer, const QFont& font, const QStringList& lines) {
  QPainter painter;
  if (!painter.begin(&printer)) throw FileError::FromErrno(EIO, printer.outputFileName());
  painter.setFont(font);
  const QFontMetrics metrics(painter.font(), &printer);
  const int height = metrics.lineSpacing();
  const QRect page = painter.viewport();
  int y = 0;
  for (const QString& line : lines) {
    if (y > 0 && y + height > page.height()) {
      printer.newPage();
      y = 0;
    }
    painter.drawText(0, y + metrics.ascent(), line);
    y += height;
  }
  painter.end();
}

}  // namespace rix
