#pragma once

#include <QFlags>
#include <QString>
#include <QStringView>

class QTextCursor;

namespace rix {

// The options of a search or replace.
enum class SearchFlag {
  Backward = 1,    // towards the start of the text
  MatchCase = 2,   // else letters match without regard to case
  WholeWord = 4,   // the hit has no letter, digit or "_" right before or after it
  ReplaceOne = 8,  // replace the selection if it is the find text, then select the next hit
  ReplaceAll = 16  // replace the selection if it is the find text, then every hit to the end
};
Q_DECLARE_FLAGS(SearchOptions, SearchFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(SearchOptions)

// Find and replace texts are cut to this many characters.
constexpr int kSearchTextMax = 255;

// Where needle occurs in line: forward, the first hit starting at or after
// from; backward, the last hit ending at or before from. -1 when none; an
// empty needle never matches.
qsizetype FindInLine(QStringView line, qsizetype from, QStringView needle, SearchOptions options);

// Searches the cursor's document for text from the cursor on (from the end of
// its selection, or from its start when backward), without wrapping around. A
// hit becomes the cursor's selection, anchored at the hit's start; returns
// whether there was one.
bool SearchDocument(QTextCursor& cursor, const QString& text, SearchOptions options);

// Replace one or replace all (options), always searching forward. Returns the
// number of replacements, or -1 when the find text was not found at all.
int ReplaceInDocument(QTextCursor& cursor, const QString& find, const QString& replacement,
                      SearchOptions options);

}  // namespace rix
