#include "Rounding.h"

#include <QString>
#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>

int32_t roundHalfEven(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    // std::nearbyint follows the current rounding mode, which is round-to-nearest-even
    // unless someone changed it; make that explicit for this one call.
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    if (rounded >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (rounded <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(rounded);
}

int32_t saturateInt32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    const qsizetype start = i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    const qsizetype digitsStart = i;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        ++i;
    }
    qsizetype digits = i - digitsStart;
    if (i < n && text[i] == u'.') {
        qsizetype j = i + 1;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128) {
            ++j;
        }
        digits += j - i - 1;
        i = j;
    }
    if (digits == 0) {
        return 0.0;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toString().toDouble(&ok);
    // A number too long for a double comes back as an infinity (not ok); it stays
    // one, so that callers clamp it to their range instead of taking it as 0.
    return ok || std::isinf(value) ? value : 0.0;
}
