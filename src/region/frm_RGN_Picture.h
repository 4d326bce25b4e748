#pragma once

#include "PictureHolder.h"
#include "graphics/PictureSurface.h"

#include <QList>
#include <cstdint>
#include <map>

// The hidden scratch window of the shape builder: the drawing surface pWPicture on
// which texts are drawn and pictures loaded before they are scanned, and the picture
// holders pPicture, one per region number. Holder 0 holds the busy badge from the
// start; the others are created on demand and removed when their picture's number
// is given back.
class frm_RGN_Picture
{
public:
    static frm_RGN_Picture& instance();

    PictureSurface pWPicture;

    // The holder of an index, or nullptr when there is none.
    PictureHolder* pPicture(int32_t index);
    // Creates the holder of an index (hidden, without a picture) if it does not exist.
    void createHolder(int16_t index);
    // Removes the holder of an index (never holder 0, the badge's).
    void removeHolder(int16_t index);
    // The indexes of the existing holders, ascending.
    QList<int16_t> holderIndexes() const;

    // Back to the state at program start: a fresh surface and only holder 0.
    void reset();

private:
    frm_RGN_Picture();

    std::map<int16_t, PictureHolder> m_holders;
};
