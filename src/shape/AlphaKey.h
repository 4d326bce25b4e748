#pragma once

#include <QImage>
#include <QRgb>

// A picture with transparency is cut by its alpha channel: pixels with an alpha below
// 128 are outside its shape, all others inside, whatever their colour. The scan cuts
// away the colour of pixel (0, 0), so such a picture is scanned as an opaque copy in
// which every outside pixel has one key colour that no inside pixel has, and whose
// pixel (0, 0) is outside.
struct AlphaKeyed
{
    // What the scan reads. When the picture's own pixel (0, 0) is inside, this copy has
    // one extra row of key colour on top, and the scanned shape is one row too low.
    QImage scanned;
    // The picture as it is drawn: inside pixels in their own colour, fully opaque.
    QImage drawn;
    // The key colour (opaque).
    QRgb key = 0;
    // True when scanned has the extra row on top.
    bool extraRow = false;
};

// Alpha values from this one on are inside the shape.
constexpr int AlphaInside = 128;

// Takes the picture by value: one handed over with std::move becomes `drawn` in
// place, so keying holds no more than the picture and, with the extra row, one copy.
AlphaKeyed keyByAlpha(QImage picture);
