#pragma once

#include <QString>
#include <QStringView>

// An edit box lays a line out whole, every time it shows any of it: a line of
// millions of characters takes seconds and hundreds of megabytes. The editor lets the
// user edit a text whose lines are all at most this long.
constexpr qsizetype EditableLineLength = 10000;

// The length of the longest line of the text, in UTF-16 code units. Lines end where
// an edit box starts a new one: at CR LF, CR, LF and the paragraph separator.
qsizetype longestLineLength(QStringView text);

// The text with every line longer than the limit cut to the limit (never inside a
// surrogate pair) and ended with "…"; shorter lines and the line breaks unchanged.
QString shortenLongLines(QStringView text, qsizetype limit);
