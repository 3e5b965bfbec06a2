#pragma once

#include <QString>

// How the editor reads, compares and converts the texts users type.
namespace TextRules {

// 1 to 8 hexadecimal digits and nothing else.
bool readHexNumber(const QString &text, quint32 &value);

// A 32-bit integer: leading spaces, at most one sign, then decimal digits or a
// hexadecimal prefix ($, x, X, 0x, 0X) and hexadecimal digits, and nothing
// after them. Hexadecimal values are read as two's complement.
bool readInteger(const QString &text, qint32 &value);

// A text as the multi-line editor shows it: every CR LF, LF and CR becomes one
// line break ('\n').
QString toEditorLines(const QString &text);
// The editor's line breaks as CR LF.
QString fromEditorLines(const QString &text);

// Compares code unit by code unit with only a-z taken as A-Z.
int compareFolded(const QString &a, const QString &b);
// The first four code units with a-z taken as A-Z, in one number that orders
// as compareFolded() does for texts whose first four units differ.
quint64 foldedPrefix(const QString &text);
// Whether the text contains the needle, case sensitive or with only a-z taken
// as A-Z. An empty needle is contained in nothing.
bool containsText(const QString &text, const QString &needle, bool matchCase);

// The file name without its folder.
QString fileNamePart(const QString &path);

} // namespace TextRules
