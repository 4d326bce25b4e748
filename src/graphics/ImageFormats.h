#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

class QImageReader;

// Reading a picture without loading every image plugin installed.
//
// Asked to find a picture's reader, Qt loads every installed image plugin (and the
// libraries each one needs) to ask it first, even for the formats it reads itself:
// several milliseconds and a dozen libraries before the first frame. A format known
// from the file's first bytes is read by its own reader alone: Qt's built-in one for
// BMP and PNG, the one plugin that reads it for GIF and JPEG.
namespace imageformats {

// "bmp", "png", "gif" or "jpeg" when the bytes begin as a file of that format does;
// empty for anything else.
QByteArray bySignature(QByteArrayView head);

// Makes the reader read `format` with that format's reader alone. With an empty
// format the reader decides by the content, asking every reader installed.
void readAs(QImageReader& reader, const QByteArray& format);

// A picture built into the program (a resource path), in a known format.
QImage builtIn(const QString& path, const char* format);

} // namespace imageformats
