#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

class QFont;
class QPrinter;

namespace rix {

class DocEditor;

// A printed line holds at most this many characters.
constexpr int kPrintLineMax = 1024;

// One display line as printed: tabs expanded to the next multiple of tabSize
// columns; the characters before index blankBefore turned into blanks of the
// width they take, so that the rest keeps its place; the characters from
// index cutAt on dropped (-1: none); at most maxChars characters.
QString PrintableLine(QStringView line, int tabSize, int maxChars, qsizetype blankBefore = 0,
                      qsizetype cutAt = -1);

// The lines a print of the editor sends: every display line, or with
// selectionOnly the display lines of the selection, the first one blanked up
// to the selection's start and the last one cut at its end.
QStringList DocumentPrintLines(const DocEditor& editor, bool selectionOnly);

// A plain print job: one printed line per line, in the font, top to bottom,
// a new page whenever the next line does not fit.
void PrintLines(QPrinter& printer, const QFont& font, const QStringList& lines);

}  // namespace rix
