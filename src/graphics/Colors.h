#pragma once

#include <QColor>
#include <cstdint>

// Colour values travel through the program as 32-bit numbers with red in the low
// byte, then green, then blue (0x00BBGGRR). These convert between that form and Qt's.
inline uint32_t bgrFromRgb(QRgb rgb)
{
    return static_cast<uint32_t>(qRed(rgb)) | (static_cast<uint32_t>(qGreen(rgb)) << 8) |
           (static_cast<uint32_t>(qBlue(rgb)) << 16);
}

inline uint32_t bgrFromColor(const QColor& color)
{
    return bgrFromRgb(color.rgb());
}

inline QColor colorFromBgr(uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}
