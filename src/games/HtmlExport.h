#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

namespace rix {

class GridData;

// A grid as an HTML table fragment: one line per tag or cell, CR LF after
// each, the cells' Big5 bytes unescaped. With headerRow, row 0 is written as
// the header row on the colour given (six hex digits RRGGBB) and the data rows
// follow from row 1; without it every row from 0 is a data row.
void FormatGridHtml(const GridData& grid, bool headerRow, QByteArrayView colour,
                    const std::function<void(const char*, qsizetype)>& sink);
QByteArray FormatGridHtml(const GridData& grid, bool headerRow, QByteArrayView colour);

// Writes the file through a temporary one renamed over it; a failure throws
// FileError and leaves an existing file as it was.
void SaveGridHtml(const GridData& grid, bool headerRow, QByteArrayView colour,
                  const QString& nativePath);

// A cell's text as the table shows it: CR as "<br>", a text holding "://" or
// "mailto:" as a link labelled with what follows that mark (at most 255
// bytes), an empty text as "<br>".
QByteArray HtmlCellText(QByteArrayView text);

// The colour of the header cells: the frame colour of an active window on
// this desktop. Qt offers no window-border colour of its own, so the one
// place it is taken from is the application palette's window colour in the
// active group, as "RRGGBB".
QByteArray ActiveBorderColour();

}  // namespace rix
