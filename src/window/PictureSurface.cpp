#include "PictureSurface.h"

#include "Colors.h"
#include "Screen.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>

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

void PictureSurface::setFont(const QFont& font)
{
    m_font = font;
    m_font.setStyleStrategy(QFont::NoAntialias);
    m_font.setKerning(false);
}

void PictureSurface::setFontName(const QString& name)
{
    m_font.setFamilies({name});
}

void PictureSurface::setFontSize(double points)
{
    if (points > 0) {
        m_font.setPointSizeF(points);
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
    m_image.fill(colorFromBgr(m_backColor));
    CurrentX = 0;
    CurrentY = 0;
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
    const QFontMetrics metrics(m_font, &m_image);
    int widest = 0;
    for (const QString& line : splitLines(text)) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return widest;
}

int PictureSurface::TextHeight(const QString& text) const
{
    const QFontMetrics metrics(m_font, &m_image);
    return static_cast<int>(splitLines(text).size()) * metrics.lineSpacing();
}

void PictureSurface::Print(const QString& text)
{
    const QStringList lines = splitLines(text);
    QPainter p(&m_image);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(m_font);
    p.setPen(colorFromBgr(m_foreColor));
    const QFontMetrics metrics(m_font, &m_image);
    int y = CurrentY;
    for (const QString& line : lines) {
        p.drawText(CurrentX, y + metrics.ascent(), line);
        y += metrics.lineSpacing();
    }
    p.end();
    CurrentX = 0;
    CurrentY = y;
}

int32_t PictureSurface::Point(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height()) {
        return -1;
    }
    const auto* row = reinterpret_cast<const QRgb*>(m_image.constScanLine(y));
    return static_cast<int32_t>(bgrFromRgb(row[x]));
}

PictureSurface::LoadResult PictureSurface::LoadPicture(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        return LoadResult::NotFound;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    const QByteArray format = reader.format();
    if (format.isEmpty()) {
        return LoadResult::Undecodable;
    }
    const QSize declared = reader.size();
    if (declared.isValid() && !fitsSurface(declared.width(), declared.height())) {
        return LoadResult::TooLarge;
    }
    QImage picture;
    if (!reader.read(&picture) || picture.isNull()) {
        return LoadResult::Undecodable;
    }
    if (!fitsSurface(picture.width(), picture.height())) {
        return LoadResult::TooLarge;
    }
    QImage composed(picture.size(), QImage::Format_RGB32);
    applyDotsPerInch(composed);
    composed.fill(colorFromBgr(m_backColor));
    QPainter p(&composed);
    p.drawImage(0, 0, picture);
    p.end();
    m_image = std::move(composed);
    CurrentX = 0;
    CurrentY = 0;
    return LoadResult::Loaded;
}
