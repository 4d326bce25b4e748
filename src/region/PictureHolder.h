#pragma once

#include <QImage>

// One picture holder: the image that a region number's shape is painted with.
// Its size in twips is the picture's size.
class PictureHolder
{
public:
    QImage Picture;
    bool Visible = false;

    int Width() const;
    int Height() const;
};
