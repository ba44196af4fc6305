#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace rix {

class GridData;
class StringGrid;

// The comma-separated table file of the catalogue and of every game list.
// Line k is grid row k; bytes are kept as they are, never decoded.

// Reads the bytes into the grid from row 0 on, growing the row and column
// counts as needed (they never shrink).
void ParseTableBytes(GridData& grid, QByteArray&& bytes);
// Every row, every column, CR LF after each row.
QByteArray FormatTableBytes(const GridData& grid);
// The same bytes, handed to sink a piece at a time.
void FormatTableBytes(const GridData& grid,
                      const std::function<void(const char*, qsizetype)>& sink);

// File forms. Failures throw FileError; a failed save leaves the old file as
// it was, and a read that fails part way keeps the rows of the lines read
// whole before the failure.
void LoadTableFile(StringGrid& grid, const QString& nativePath);
// The load over any reader that fills a buffer and may throw FileError with
// part of the bytes in it.
void LoadTableFrom(StringGrid& grid, const std::function<void(QByteArray& bytes)>& read);
void SaveTableFile(const GridData& grid, const QString& nativePath);

}  // namespace rix
