#pragma once

#include <QString>
#include <cstdint>

// Builds a shape from a picture file in any format Qt reads (see PictureFile).
// A picture with transparency is cut by its alpha channel (alpha below 128 is
// outside), an opaque one by the colour of its pixel (0, 0). index < 10 asks for a
// new number. Returns the number, or 0 with a message naming the file when it is
// gone, cannot be decoded or is too large, or with the too-detailed message when its
// outline needs too many rectangles.
int32_t MakeRGNFromPictureFile(const QString& fileName, int32_t index);

// "The picture file cannot be read:" and the file.
QString unreadablePictureMessage(const QString& fileName);
// The too-large message, then why a picture can be too detailed for a shape and
// what to choose instead.
QString pictureTooDetailedMessage();
