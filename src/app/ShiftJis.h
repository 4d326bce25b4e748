#pragma once

#include <QByteArrayView>
#include <QString>

// Text in Shift-JIS as Japanese Windows writes it (code page 932, with its NEC and
// IBM extensions). Bytes that form no character come out as U+FFFD.
QString fromShiftJis(QByteArrayView bytes);
