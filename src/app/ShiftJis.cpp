#include "ShiftJis.h"

#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#if __has_include(<iconv.h>)
#include <iconv.h>
#define DESKWORD_HAVE_ICONV 1
#endif

QString fromShiftJis(QByteArrayView bytes)
{
    QStringDecoder decoder("windows-31j");
    if (!decoder.isValid()) {
        return fromShiftJisWithIconv(bytes);
    }
    return decoder.decode(bytes);
}

QString fromShiftJisWithIconv(QByteArrayView bytes)
{
#ifndef DESKWORD_HAVE_ICONV
    // The system's own multibyte encoding is code page 932 on a Japanese system.
    return QString::fromLocal8Bit(bytes);
#else
    const iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return QString::fromLocal8Bit(bytes);
    }
    QByteArray input = bytes.toByteArray();
    QByteArray output(input.size() * 3 + 4, Qt::Uninitialized);
    char* in = input.data();
    size_t inLeft = static_cast<size_t>(input.size());
    char* out = output.data();
    size_t outLeft = static_cast<size_t>(output.size());
    const QByteArray replacement("\xEF\xBF\xBD");
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            break; // cannot happen: one input byte gives at most three output bytes
        }
        // A byte that starts no character, or a character cut off at the end: one
        // replacement character, then go on with the next byte.
        if (outLeft < static_cast<size_t>(replacement.size())) {
            break;
        }
        std::copy(replacement.begin(), replacement.end(), out);
        out += replacement.size();
        outLeft -= static_cast<size_t>(replacement.size());
        ++in;
        --inLeft;
    }
    iconv_close(converter);
    output.truncate(out - output.data());
    return QString::fromUtf8(output);
#endif
}
