#include "ImageFormats.h"

#include <QImageReader>

namespace imageformats {

QByteArray bySignature(QByteArrayView head)
{
    if (head.startsWith("BM")) {
        return QByteArrayLiteral("bmp");
    }
    if (head.startsWith("\x89PNG\r\n\x1a\n")) {
        return QByteArrayLiteral("png");
    }
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) {
        return QByteArrayLiteral("gif");
    }
    if (head.startsWith("\xFF\xD8\xFF")) {
        return QByteArrayLiteral("jpeg");
    }
    return {};
}

void readAs(QImageReader& reader, const QByteArray& format)
{
    if (format.isEmpty()) {
        reader.setDecideFormatFromContent(true);
        return;
    }
    // Without automatic detection only the readers named `format` are asked.
    reader.setFormat(format);
    reader.setAutoDetectImageFormat(false);
}

QImage builtIn(const QString& path, const char* format)
{
    QImageReader reader(path);
    readAs(reader, QByteArray(format));
    return reader.read();
}

} // namespace imageformats
