#include "EditStyle.h"

#include "graphics/Colors.h"
#include "graphics/PictureSurface.h"

#include <QPlainTextEdit>

EditStyle styleOf(const PictureSurface& surface)
{
    return {surface.FontName(),   surface.FontSize(),       surface.FontBold(),
            surface.FontItalic(), surface.FontStrikethru(), surface.FontUnderline()};
}

EditStyle styleOf(const QPlainTextEdit* box)
{
    const QFont font = box->font();
    return {font.family(), font.pointSizeF(), font.bold(),
            font.italic(), font.strikeOut(),  font.underline()};
}

void applyStyle(PictureSurface& surface, const EditStyle& style)
{
    surface.setFontBold(style.bold);
    surface.setFontItalic(style.italic);
    surface.setFontName(style.name);
    surface.setFontSize(style.size);
    surface.setFontStrikethru(style.strikethru);
    surface.setFontUnderline(style.underline);
}

void applyStyle(QPlainTextEdit* box, const EditStyle& style)
{
    QFont font = box->font();
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setFamilies({style.name});
    if (style.size > 0) {
        font.setPointSizeF(style.size);
    }
    font.setStrikeOut(style.strikethru);
    font.setUnderline(style.underline);
    box->setFont(font);
}

uint32_t textColor(const QPlainTextEdit* box)
{
    return bgrFromColor(box->palette().color(QPalette::Active, QPalette::Text));
}

void setTextColor(QPlainTextEdit* box, uint32_t bgr)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, colorFromBgr(bgr));
    box->setPalette(palette);
}

QString editText(const QPlainTextEdit* box)
{
    // The document ends each line with a single LF (paragraph and line separators
    // included); the desktop text and the settings file expect CR LF.
    QString text = box->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}
