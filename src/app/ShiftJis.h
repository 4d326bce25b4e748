#pragma once

#include <QByteArrayView>
#include <QString>

// Text in Shift-JIS as Japanese Windows writes it (code page 932, with its NEC and
// IBM extensions). Bytes that form no character come out as U+FFFD.
QString fromShiftJis(QByteArrayView bytes);

// The same through the C library's iconv; used when Qt was built without a
// Shift-JIS decoder.
QString fromShiftJisWithIconv(QByteArrayView bytes);
