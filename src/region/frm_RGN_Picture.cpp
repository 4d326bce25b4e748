#include "frm_RGN_Picture.h"

#include "RegionNumbers.h"

frm_RGN_Picture& frm_RGN_Picture::instance()
{
    static frm_RGN_Picture window;
    return window;
}

frm_RGN_Picture::frm_RGN_Picture()
{
    reset();
}

PictureHolder* frm_RGN_Picture::pPicture(int32_t index)
{
    const auto it = m_holders.find(static_cast<int16_t>(index));
    if (index < INT16_MIN || index > INT16_MAX || it == m_holders.end()) {
        return nullptr;
    }
    return &it->second;
}

void frm_RGN_Picture::createHolder(int16_t index)
{
    m_holders.try_emplace(index);
}

void frm_RGN_Picture::removeHolder(int16_t index)
{
    if (index != 0) {
        m_holders.erase(index);
    }
}

QList<int16_t> frm_RGN_Picture::holderIndexes() const
{
    QList<int16_t> indexes;
    for (const auto& entry : m_holders) {
        indexes.append(entry.first);
    }
    return indexes;
}

void frm_RGN_Picture::reset()
{
    pWPicture = PictureSurface();
    m_holders.clear();
    PictureHolder& badge = m_holders[0];
    badge.Picture = busyBadgePicture();
    badge.Visible = true;
}
