#include "LongLines.h"

#include <algorithm>

namespace {

bool endsLine(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

// Calls visit(line, lineBreak) for every line of the text; lineBreak is the break
// that follows the line, empty after the last one.
template <class Visit> void forEachLine(QStringView text, Visit visit)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!endsLine(text[i])) {
            continue;
        }
        const qsizetype breakLength =
            text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
        visit(text.mid(start, i - start), text.mid(i, breakLength));
        i += breakLength - 1;
        start = i + 1;
    }
    visit(text.mid(start), QStringView());
}

} // namespace

qsizetype longestLineLength(QStringView text)
{
    qsizetype longest = 0;
    forEachLine(text,
                [&](QStringView line, QStringView) { longest = std::max(longest, line.size()); });
    return longest;
}

QString shortenLongLines(QStringView text, qsizetype limit)
{
    QString shortened;
    forEachLine(text, [&](QStringView line, QStringView lineBreak) {
        if (line.size() > limit) {
            qsizetype cut = limit;
            if (cut > 0 && line[cut - 1].isHighSurrogate()) {
                --cut;
            }
            shortened += line.first(cut);
            shortened += QChar(0x2026); // …
        } else {
            shortened += line;
        }
        shortened += lineBreak;
    });
    return shortened;
}
