#pragma once

#include <QByteArray>
#include <QString>

// The TEXT value that settings_writer stores in its n-th write: "<n>:", a few
// kilobytes of Japanese text whose length changes from write to write, and ":<n>".
inline QString writerText(int n)
{
    const QString body = QStringLiteral("デスクトップ文字%r").repeated(150 + (n * 37) % 400);
    return QString::number(n) + u':' + body + u':' + QString::number(n);
}

// The number n of a writerText(n), or -1.
inline int writerTextNumber(const QString& text)
{
    bool ok = false;
    const int n = text.section(u':', 0, 0).toInt(&ok);
    return ok ? n : -1;
}

// The settings file the kill test starts from, with TEXT holding the given text.
inline QByteArray fileWithText(const QString& text)
{
    return "; written by hand\r\n[Other]\r\nTEXT=other\r\n\r\n[DATA]\r\nFontBold=True\r\nTEXT=" +
           text.toUtf8() + "\r\nXPOS=150\r\n";
}
