#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace rix {

// Cell texts are Big5 byte strings. These helpers work on the bytes: a lead
// byte 0x81..0xFE starts a double-byte character whose trail byte may look
// like an ASCII letter, so case changes must step over it.

// Removes every byte below 33 (blanks, tabs, CR, LF, other controls) from both ends.
QByteArray TrimBytes(QByteArrayView text);
// The same as a view into text, for loops that must not copy.
QByteArrayView TrimmedView(QByteArrayView text);
// Single-byte A-Z to a-z; double-byte characters stay whole.
QByteArray LowerAscii(QByteArrayView text);
// Single-byte a-z to A-Z; double-byte characters stay whole.
QByteArray UpperAscii(QByteArrayView text);
// A flag cell is set when its trimmed, lower-cased text is "yes".
bool IsYes(QByteArrayView cell);
// Whole number as the runtime's string-to-integer conversion reads it: optional
// blanks before, optional sign, decimal digits, nothing after. Empty on failure.
bool ParseWholeNumber(QByteArrayView text, int* value);

}  // namespace rix
