#include "PictureSurface.h"

#include "BmpReader.h"
#include "Colors.h"
#include "ImageFormats.h"
#include "Screen.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using LoadResult = PictureSurface::LoadResult;

// The headers of BMP and GIF files are read before any decoder runs, for two
// reasons: Qt's decoders fill what is missing from a cut file with black and
// report success, and they refuse very large pictures as if the file were broken.
// Each check returns the failure the headers already show, or Loaded when the
// decoder should have its go.

LoadResult checkBmpHeaders(QIODevice& file)
{
    const QByteArray head = file.peek(34);
    if (head.size() < 18) {
        return LoadResult::Undecodable;
    }
    const uint32_t pixelOffset = qFromLittleEndian<uint32_t>(head.constData() + 10);
    const uint32_t infoSize = qFromLittleEndian<uint32_t>(head.constData() + 14);
    int64_t width = 0;
    int64_t height = 0;
    uint32_t bits = 0;
    uint32_t compression = 0;
    if (infoSize == 12) {
        if (head.size() < 26) {
            return LoadResult::Undecodable;
        }
        width = qFromLittleEndian<uint16_t>(head.constData() + 18);
        height = qFromLittleEndian<uint16_t>(head.constData() + 20);
        bits = qFromLittleEndian<uint16_t>(head.constData() + 24);
    } else if (infoSize >= 16) {
        if (head.size() < (infoSize >= 20 ? 34 : 30)) {
            return LoadResult::Undecodable;
        }
        width = static_cast<int32_t>(qFromLittleEndian<uint32_t>(head.constData() + 18));
        height = static_cast<int32_t>(
            qFromLittleEndian<uint32_t>(head.constData() + 22)); // negative: rows stored top-down
        bits = qFromLittleEndian<uint16_t>(head.constData() + 28);
        compression = infoSize >= 20 ? qFromLittleEndian<uint32_t>(head.constData() + 30) : 0;
    } else {
        return LoadResult::Loaded;
    }
    height = height < 0 ? -height : height;
    if (!PictureSurface::fitsSurface(width, height)) {
        return width < 0 ? LoadResult::Undecodable : LoadResult::TooLarge;
    }
    // Uncompressed rows (plain or with colour masks) have a known size; compressed
    // data is left to the decoder.
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (uncompressed && bits >= 1 && bits <= 32) {
        const int64_t rowBytes = (width * bits + 31) / 32 * 4;
        const int64_t start = std::max<int64_t>(pixelOffset, 14 + int64_t(infoSize));
        if (file.size() < start + rowBytes * height) {
            return LoadResult::Undecodable;
        }
    }
    return LoadResult::Loaded;
}

// Moves past a chain of GIF data sub-blocks; false when the file ends first.
bool skipGifSubBlocks(QIODevice& file, qint64& pos)
{
    for (;;) {
        char length = 0;
        if (pos >= file.size() || !file.seek(pos) || !file.getChar(&length)) {
            return false;
        }
        pos += 1 + static_cast<uint8_t>(length);
        if (length == 0) {
            return true;
        }
    }
}

qint64 gifColourTableBytes(char flags)
{
    return (flags & 0x80) != 0 ? qint64(3) << ((flags & 7) + 1) : 0;
}

// At most this many pixels are decoded for the images of one GIF frame: each image
// Qt decodes is drawn over a whole copy of the logical screen.
constexpr int64_t maxGifFramePixels = PictureSurface::MaxPixels;

// Walks the blocks up to the end of the first frame's data, which is all that is
// decoded: the first image and those drawn with it (each image whose graphic control
// gives no delay is followed at once by the next). `frame` receives the images'
// rectangles. A cut in the first image refuses the file; a later image that is cut
// ends the frame before it.
LoadResult checkGifHeaders(QIODevice& file, QList<QRect>& frame)
{
    frame.clear();
    const QByteArray screen = file.peek(13);
    if (screen.size() < 13) {
        return LoadResult::Undecodable;
    }
    int64_t width = qFromLittleEndian<uint16_t>(screen.constData() + 6);
    int64_t height = qFromLittleEndian<uint16_t>(screen.constData() + 8);
    if (!PictureSurface::fitsSurface(width, height)) {
        return LoadResult::TooLarge;
    }
    qint64 pos = 13 + gifColourTableBytes(screen[10]);
    uint16_t delay = 0; // of the image that follows
    for (;;) {
        const LoadResult ended = frame.isEmpty() ? LoadResult::Undecodable : LoadResult::Loaded;
        char introducer = 0;
        if (pos >= file.size() || !file.seek(pos) || !file.getChar(&introducer)) {
            return ended;
        }
        if (introducer == '!') { // extension: label, then sub-blocks
            const QByteArray head = file.peek(4);
            if (head.size() == 4 && static_cast<uint8_t>(head[0]) == 0xF9 && head[1] == 4) {
                delay = qFromLittleEndian<uint16_t>(head.constData() + 2);
            }
            pos += 2;
            if (!skipGifSubBlocks(file, pos)) {
                return ended;
            }
        } else if (introducer == ',') { // image descriptor
            const QByteArray descriptor = file.read(9);
            if (descriptor.size() < 9) {
                return ended;
            }
            const QRect image(qFromLittleEndian<uint16_t>(descriptor.constData() + 0),
                              qFromLittleEndian<uint16_t>(descriptor.constData() + 2),
                              qFromLittleEndian<uint16_t>(descriptor.constData() + 4),
                              qFromLittleEndian<uint16_t>(descriptor.constData() + 6));
            const int64_t frameWidth = std::max<int64_t>(width, image.x() + int64_t(image.width()));
            const int64_t frameHeight =
                std::max<int64_t>(height, image.y() + int64_t(image.height()));
            if (!PictureSurface::fitsSurface(frameWidth, frameHeight)) {
                return frame.isEmpty() ? LoadResult::TooLarge : LoadResult::Loaded;
            }
            if (!frame.isEmpty() &&
                (frame.size() + 1) * frameWidth * frameHeight > maxGifFramePixels) {
                return LoadResult::Loaded;
            }
            pos += 1 + 9 + gifColourTableBytes(descriptor[8]) + 1; // + LZW code size
            if (!skipGifSubBlocks(file, pos)) {
                return ended;
            }
            width = frameWidth;
            height = frameHeight;
            frame.append(image);
            if (delay != 0) {
                return LoadResult::Loaded;
            }
        } else { // the trailer, or anything else
            return ended;
        }
    }
}

// Gives the pixels of the picture outside all of the frame's images the background
// colour: the file does not set them.
void fillOutsideImages(QImage& picture, const QList<QRect>& images, QRgb background)
{
    QRegion unset(picture.rect());
    for (const QRect& image : images) {
        unset -= image;
    }
    if (unset.isEmpty()) {
        return;
    }
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32) {
        picture.convertTo(picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
    for (const QRect& rect : unset) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            std::fill_n(reinterpret_cast<QRgb*>(picture.scanLine(y)) + rect.left(), rect.width(),
                        background | 0xFF000000);
        }
    }
}

// Decodes a picture with Qt's readers: `images` images of it, each drawn over the ones
// before (the images of a GIF frame). `format` is the one its first bytes show, or
// empty: then the readers decide by the content.
LoadResult readWithQt(QIODevice& source, const QByteArray& format, QImage& picture,
                      qsizetype images = 1)
{
    QImageReader reader(&source);
    imageformats::readAs(reader, format);
    reader.setAutoTransform(false);
    if (reader.format().isEmpty()) {
        return LoadResult::Undecodable;
    }
    const QSize declared = reader.size();
    if (declared.isValid() && !PictureSurface::fitsSurface(declared.width(), declared.height())) {
        return LoadResult::TooLarge;
    }
    // The reader's own allocation limit (128 MiB unless the application changed it)
    // is below what a surface may hold; lift it for this read so that every picture
    // that fits a surface loads.
    constexpr int surfaceMegabytes =
        static_cast<int>(PictureSurface::MaxPixels * 4 / (1024 * 1024)) + 1;
    const int allocationLimit = QImageReader::allocationLimit();
    if (allocationLimit != 0 && allocationLimit < surfaceMegabytes) {
        QImageReader::setAllocationLimit(surfaceMegabytes);
    }
    bool read = reader.read(&picture);
    for (qsizetype image = 1; read && image < images; ++image) {
        read = reader.read(&picture);
    }
    QImageReader::setAllocationLimit(allocationLimit);
    if (!read || picture.isNull()) {
        return LoadResult::Undecodable;
    }
    return LoadResult::Loaded;
}

// Sets the alpha byte of every pixel of an RGB32 image. Qt's readers can leave it 0
// (a GIF without a colour table decodes to 0x00000000); colours on the surface then
// compare the same however a pixel is read, by its red, green and blue bytes. An image
// that is opaque already is left as it is (and not copied when it is shared).
void makeOpaque(QImage& image)
{
    bool opaque = true;
    for (int y = 0; y < image.height() && opaque; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        opaque =
            std::all_of(row, row + image.width(), [](QRgb pixel) { return qAlpha(pixel) == 255; });
    }
    for (int y = 0; y < image.height() && !opaque; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            row[x] |= 0xFF000000;
        }
    }
}

// Fonts are capped at 16383 pixels, half the largest surface side: Qt's font
// metrics overflow (negative line heights) not far above that, and a line of a
// larger font would hardly fit any surface. Absurd sizes (up to infinity) thus give
// a text that is too large, never wrong measurements.
constexpr int maxFontPixels = 16383;

// What one character can add to a line at most, with a wide margin: glyphs of a
// fallback font can be wider than the font's own widest one, and a tab reaches the
// next tab stop (80 pixels apart by default).
int64_t maxCharacterAdvance(const QFontMetrics& metrics)
{
    return 2 * std::max<int64_t>(metrics.maxWidth(), metrics.height()) + 128;
}

// The width of one line in 64 bits. A line that could be wider than Qt measures
// without wrapping is measured in pieces short enough to be safe; while the pieces
// add up to a width that Qt holds, the whole line is measured once more, exactly.
int64_t lineWidth(const QFontMetrics& metrics, const QString& line)
{
    const int64_t perCharacter = maxCharacterAdvance(metrics);
    if (line.size() * perCharacter <= PictureSurface::MaxLineWidth) {
        return metrics.horizontalAdvance(line);
    }
    const qsizetype piece =
        static_cast<qsizetype>(std::max<int64_t>(PictureSurface::MaxLineWidth / perCharacter, 2));
    int64_t width = 0;
    for (qsizetype at = 0; at < line.size();) {
        qsizetype length = std::min(piece, line.size() - at);
        if (at + length < line.size() && line[at + length - 1].isHighSurrogate()) {
            --length; // keep a surrogate pair in one piece
        }
        width += metrics.horizontalAdvance(line.mid(at, length));
        if (width > PictureSurface::MaxLineWidth) {
            return width;
        }
        at += length;
    }
    return metrics.horizontalAdvance(line);
}

// Whether any character of the line is written right to left: such a line may show
// its end first, so it is never cut.
bool hasRightToLeft(QStringView line)
{
    for (const QChar c : line) {
        if (c.unicode() >= 0x0590 &&
            (c.direction() == QChar::DirR || c.direction() == QChar::DirAL ||
             c.direction() == QChar::DirRLE || c.direction() == QChar::DirRLO ||
             c.direction() == QChar::DirRLI)) {
            return true;
        }
    }
    return false;
}

// The start of a line that reaches beyond `width` pixels: the rest never shows on a
// surface that wide, so it is neither laid out nor drawn. The line is measured in
// pieces until they pass the width, then cut one piece further on, so that the
// glyphs at the edge are shaped as in the whole line.
QString visibleStart(const QFontMetrics& metrics, QStringView line, int64_t width)
{
    constexpr qsizetype piece = 256;
    if (width >= PictureSurface::MaxLineWidth || line.size() <= 2 * piece || hasRightToLeft(line)) {
        return line.toString();
    }
    int64_t reached = 0;
    for (qsizetype at = 0; at < line.size();) {
        qsizetype length = std::min(piece, line.size() - at);
        if (at + length < line.size() && line[at + length - 1].isHighSurrogate()) {
            --length; // keep a surrogate pair in one piece
        }
        reached += metrics.horizontalAdvance(line.sliced(at, length).toString());
        at += length;
        if (reached > width) {
            return line.first(std::min(line.size(), at + piece)).toString();
        }
    }
    return line.toString();
}

// Calls visit with each line of the text (lines end at CR LF, CR or LF) until it
// returns false. The lines are views into the text: nothing is copied.
template <class Visit> void forEachLine(QStringView text, Visit visit)
{
    qsizetype start = 0;
    for (qsizetype i = 0;; ++i) {
        const bool end = i == text.size();
        if (end || text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n')) {
            if (!visit(text.sliced(start, i - start)) || end) {
                return;
            }
            if (text[i] == QLatin1Char('\r') && i + 1 < text.size() &&
                text[i + 1] == QLatin1Char('\n')) {
                ++i;
            }
            start = i + 1;
        }
    }
}

int64_t lineCount(QStringView text)
{
    int64_t count = 0;
    forEachLine(text, [&count](QStringView) {
        ++count;
        return true;
    });
    return count;
}

double maxFontPoints()
{
    // Points are 1/72 inch, pixels 1/(1440 / twips per pixel) inch.
    return maxFontPixels * Screen::TwipsPerPixelY() / 20.0;
}

} // namespace

QSize PictureSurface::shownSize(const QSize& size)
{
    const double scaleX = 15.0 / Screen::TwipsPerPixelX();
    const double scaleY = 15.0 / Screen::TwipsPerPixelY();
    // Beyond the largest side the size stops growing: it is refused either way.
    const double beyond = MaxSide + 1.0;
    return {static_cast<int>(std::lround(std::min(size.width() * scaleX, beyond))),
            static_cast<int>(std::lround(std::min(size.height() * scaleY, beyond)))};
}

QImage PictureSurface::shownAtScreenScale(const QImage& picture)
{
    const QSize shown = shownSize(picture.size());
    if (shown == picture.size()) {
        return picture;
    }
    return picture.scaled(shown); // to that size, by nearest neighbour (the defaults)
}

bool PictureSurface::fitsSurface(int64_t width, int64_t height)
{
    return width >= 0 && height >= 0 && width <= MaxSide && height <= MaxSide &&
           width * height <= MaxPixels;
}

PictureSurface::PictureSurface()
{
    const QPalette palette = QGuiApplication::palette();
    m_backColor = bgrFromColor(palette.color(QPalette::Active, QPalette::Base));
    m_foreColor = bgrFromColor(palette.color(QPalette::Active, QPalette::Text));
    QFont font = QGuiApplication::font();
    setFont(font);
    m_image = QImage(1, 1, QImage::Format_RGB32);
    applyDotsPerInch(m_image);
    Cls();
}

void PictureSurface::applyDotsPerInch(QImage& image) const
{
    // Points become pixels at the screen's resolution, as on the screen itself.
    image.setDotsPerMeterX(
        static_cast<int>(std::lround(1440.0 / Screen::TwipsPerPixelX() / 0.0254)));
    image.setDotsPerMeterY(
        static_cast<int>(std::lround(1440.0 / Screen::TwipsPerPixelY() / 0.0254)));
}

bool PictureSurface::setSizePixels(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (!fitsSurface(width, height)) {
        return false;
    }
    if (width == m_image.width() && height == m_image.height()) {
        return true;
    }
    QImage resized(width, height, QImage::Format_RGB32);
    applyDotsPerInch(resized);
    resized.fill(colorFromBgr(m_backColor));
    QPainter p(&resized);
    p.drawImage(0, 0, m_image);
    p.end();
    m_image = std::move(resized);
    return true;
}

void PictureSurface::releaseImage()
{
    QImage single(1, 1, QImage::Format_RGB32);
    applyDotsPerInch(single);
    single.fill(colorFromBgr(m_backColor));
    m_image = std::move(single);
    CurrentX = 0;
    CurrentY = 0;
}

void PictureSurface::setFont(const QFont& font)
{
    m_font = font;
    if (m_font.pointSizeF() > maxFontPoints()) {
        m_font.setPointSizeF(maxFontPoints());
    }
    if (m_font.pixelSize() > maxFontPixels) {
        m_font.setPixelSize(maxFontPixels);
    }
    m_font.setStyleStrategy(QFont::NoAntialias);
    m_font.setKerning(false);
}

void PictureSurface::setFontName(const QString& name)
{
    m_font.setFamilies({name});
}

void PictureSurface::setFontSize(double points)
{
    if (points > 0) { // not NaN
        m_font.setPointSizeF(std::min(points, maxFontPoints()));
    }
}

void PictureSurface::setFontBold(bool on)
{
    m_font.setBold(on);
}

void PictureSurface::setFontItalic(bool on)
{
    m_font.setItalic(on);
}

void PictureSurface::setFontUnderline(bool on)
{
    m_font.setUnderline(on);
}

void PictureSurface::setFontStrikethru(bool on)
{
    m_font.setStrikeOut(on);
}

void PictureSurface::Cls()
{
    clearToSize(m_image.width(), m_image.height());
}

bool PictureSurface::clearToSize(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (!fitsSurface(width, height)) {
        return false;
    }
    // An image shared with a picture holder, or of another size, is replaced rather
    // than copied first: every pixel is written once.
    if (m_image.size() != QSize(width, height) || !m_image.isDetached()) {
        QImage fresh(width, height, QImage::Format_RGB32);
        applyDotsPerInch(fresh);
        m_image = std::move(fresh);
    }
    m_image.fill(colorFromBgr(m_backColor));
    CurrentX = 0;
    CurrentY = 0;
    return true;
}

QStringList PictureSurface::splitLines(const QString& text)
{
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalized.split(QLatin1Char('\n'));
}

int PictureSurface::TextWidth(const QString& text) const
{
    const int64_t width = measureText(text, std::numeric_limits<int64_t>::max()).width;
    return static_cast<int>(std::min<int64_t>(width, std::numeric_limits<int>::max()));
}

int PictureSurface::TextHeight(const QString& text) const
{
    const QFontMetrics metrics(m_font, &m_image);
    const int64_t height = lineCount(text) * metrics.lineSpacing();
    return static_cast<int>(std::min<int64_t>(height, std::numeric_limits<int>::max()));
}

PictureSurface::TextExtent PictureSurface::measureText(const QString& text, int64_t visibleHeight,
                                                       int64_t visibleWidth) const
{
    const QFontMetrics metrics(m_font, &m_image);
    const int64_t spacing = metrics.lineSpacing();
    TextExtent extent;
    extent.height = lineCount(text) * spacing;
    int64_t y = 0;
    forEachLine(text, [&](QStringView line) {
        if (y >= visibleHeight) {
            return false;
        }
        extent.width =
            std::max(extent.width, lineWidth(metrics, visibleStart(metrics, line, visibleWidth)));
        y += spacing;
        return extent.width <= MaxLineWidth;
    });
    return extent;
}

void PictureSurface::Print(const QString& text)
{
    QPainter p(&m_image);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(m_font);
    p.setPen(colorFromBgr(m_foreColor));
    const QFontMetrics metrics(m_font, &m_image);
    const int64_t spacing = metrics.lineSpacing();
    int64_t y = CurrentY;
    const int64_t visibleWidth = int64_t(m_image.width()) - CurrentX;
    forEachLine(text, [&](QStringView line) {
        if (y < m_image.height() && visibleWidth > 0) {
            p.drawText(CurrentX, static_cast<int>(y + metrics.ascent()),
                       visibleStart(metrics, line, visibleWidth));
        }
        y += spacing;
        return true;
    });
    p.end();
    CurrentX = 0;
    CurrentY = static_cast<int>(std::min<int64_t>(y, std::numeric_limits<int>::max()));
}

int32_t PictureSurface::Point(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height()) {
        return -1;
    }
    const auto* row = reinterpret_cast<const QRgb*>(m_image.constScanLine(y));
    return static_cast<int32_t>(bgrFromRgb(row[x]));
}

PictureSurface::LoadResult PictureSurface::readPicture(const QString& path, QImage& picture) const
{
    if (!QFileInfo(path).isFile()) {
        return LoadResult::NotFound;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return LoadResult::Undecodable;
    }
    const QByteArray format = imageformats::bySignature(file.peek(8));
    const bool isBmp = format == "bmp";
    const bool isGif = format == "gif";
    QList<QRect> gifImages;
    LoadResult checked = LoadResult::Loaded;
    if (isBmp) {
        checked = checkBmpHeaders(file);
    } else if (isGif) {
        checked = checkGifHeaders(file, gifImages);
    }
    if (checked != LoadResult::Loaded) {
        return checked;
    }
    if (!file.seek(0)) {
        return LoadResult::Undecodable;
    }

    LoadResult read = LoadResult::Loaded;
    const QRgb background = colorFromBgr(m_backColor).rgb();
    if (isBmp) {
        // Bitmaps pass BmpReader first: it decodes run-length data itself, so that
        // every pixel is defined, and rewrites headers Qt's reader does not know.
        const QByteArray bytes = bmpreader::widenInfoHeader(file.readAll());
        if (std::optional<QImage> decoded = bmpreader::decodeRunLength(bytes, background)) {
            picture = std::move(*decoded);
            read = picture.isNull() ? LoadResult::Undecodable : LoadResult::Loaded;
        } else {
            QBuffer buffer;
            buffer.setData(bytes);
            read = buffer.open(QIODevice::ReadOnly) ? readWithQt(buffer, format, picture)
                                                    : LoadResult::Undecodable;
        }
    } else {
        read = readWithQt(file, format, picture, isGif ? gifImages.size() : 1);
    }
    if (read != LoadResult::Loaded) {
        return read;
    }
    if (isGif) {
        fillOutsideImages(picture, gifImages, background);
    }
    // An index beyond a short colour table would read past it.
    bmpreader::padColourTable(picture);
    // On a scaled screen the picture is shown at its pixels times the scale; its own
    // colours stay, so the background key and the outline scanned from it are
    // exactly what is drawn.
    const QSize shown = shownSize(picture.size());
    if (!fitsSurface(shown.width(), shown.height())) {
        return LoadResult::TooLarge;
    }
    picture = shownAtScreenScale(picture);
    return LoadResult::Loaded;
}

PictureSurface::LoadResult PictureSurface::LoadPicture(const QString& path)
{
    QImage picture;
    const LoadResult read = readPicture(path, picture);
    if (read != LoadResult::Loaded) {
        return read;
    }
    if (picture.format() == QImage::Format_RGB32) {
        // No pixel lets the background through: taken as it is.
        m_image = std::move(picture);
    } else {
        // Transparent pixels take the background colour.
        QImage composed(picture.size(), QImage::Format_RGB32);
        composed.fill(colorFromBgr(m_backColor));
        QPainter p(&composed);
        p.drawImage(0, 0, picture);
        p.end();
        picture = QImage();
        m_image = std::move(composed);
    }
    makeOpaque(m_image);
    applyDotsPerInch(m_image);
    CurrentX = 0;
    CurrentY = 0;
    return LoadResult::Loaded;
}

bool PictureSurface::setPicture(QImage picture)
{
    if (picture.isNull() || !fitsSurface(picture.width(), picture.height())) {
        return false;
    }
    picture.convertTo(QImage::Format_RGB32);
    makeOpaque(picture);
    m_image = std::move(picture);
    applyDotsPerInch(m_image);
    CurrentX = 0;
    CurrentY = 0;
    return true;
}
