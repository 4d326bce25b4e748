#pragma once

#include <QString>
#include <cstdint>

class PictureSurface;
class QPlainTextEdit;

// The desktop text's style as the editor carries it between the drawing surface and
// its edit boxes: face name, size in points, four style flags and a text colour.
struct EditStyle
{
    QString name;
    double size = 0;
    bool bold = false;
    bool italic = false;
    bool strikethru = false;
    bool underline = false;
};

EditStyle styleOf(const PictureSurface& surface);
EditStyle styleOf(const QPlainTextEdit* box);
// Sets bold, italic, face name, size, strikethrough and underline, in this order.
void applyStyle(PictureSurface& surface, const EditStyle& style);
void applyStyle(QPlainTextEdit* box, const EditStyle& style);

// Text colour of an edit box, 0x00BBGGRR.
uint32_t textColor(const QPlainTextEdit* box);
void setTextColor(QPlainTextEdit* box, uint32_t bgr);

// The text of an edit box as the desktop text holds it: every line break as CR LF.
QString editText(const QPlainTextEdit* box);
