#include "ShapeBuilder.h"
#include "region/RGNDataStore.h"
#include "region/frm_RGN_Picture.h"

#include <QCoreApplication>
#include <climits>

QString tooLargeMessage()
{
    return QCoreApplication::translate("mod_RGN_Proc_Plus", "画像サイズが大きすぎます。");
}

QString textTooLargeMessage()
{
    return QCoreApplication::translate("mod_RGN_Proc_Plus", "文字列が大きすぎます。");
}

int32_t GetFreePictureIndex()
{
    int32_t candidate = 10;
    int32_t last = -1;
    for (int16_t index : frm_RGN_Picture::instance().holderIndexes()) {
        last = index;
        if (index < 10) {
            continue;
        }
        if (index != candidate) {
            return candidate;
        }
        ++candidate;
    }
    return last < 10 ? 10 : last + 1;
}

void LoadPictureHolder(int32_t index)
{
    if (index >= INT16_MIN && index <= INT16_MAX) {
        frm_RGN_Picture::instance().createHolder(static_cast<int16_t>(index));
    }
}

void FreePictureNumber(int32_t number)
{
    if (number < 10 || number > INT16_MAX || number == TextShapeNumber) {
        return;
    }
    frm_RGN_Picture& scratch = frm_RGN_Picture::instance();
    scratch.removeHolder(static_cast<int16_t>(number));
    const QList<int16_t> holders = scratch.holderIndexes();
    RGNDataStore::instance().release(number - 10, holders.isEmpty() ? -1 : holders.last() - 10);
}

gdi::HRGN SaveRGNData(gdi::HRGN region, int32_t position)
{
    RGNRecord* record = RGNDataStore::instance().record(position);
    const RegionData* data = gdi::regionData(region);
    if (record == nullptr || data == nullptr) {
        return 0;
    }
    const uint32_t size = gdi::GetRegionData(region, 0, nullptr);
    record->reserveBytes(size);
    gdi::GetRegionData(region, size, record->bytes.data());
    // The record now holds exactly this region, so a copy of it is the region the
    // record re-creates.
    return gdi::createRegion(*data);
}
