#include "ShiftJis.h"

#include <QStringDecoder>

QString fromShiftJis(QByteArrayView bytes)
{
    // Qt decodes code page 932 through ICU, which Debian's Qt is built with.
    QStringDecoder decoder("windows-31j");
    return decoder.isValid() ? decoder.decode(bytes) : QString::fromLocal8Bit(bytes);
}
