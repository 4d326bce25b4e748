#include "RGNDataStore.h"
#include "ShapeBuilder.h"
#include "frm_RGN_Picture.h"
#include "window/App.h"
#include "window/LittleEndian.h"

#include <QCoreApplication>
#include <climits>

namespace {

// From this size of exported data on (3998 rectangles) a shape counts as too large.
constexpr uint32_t TooLargeSize = 64000;

} // namespace

QString tooLargeMessage()
{
    return QCoreApplication::translate("mod_RGN_Proc_Plus", "画像サイズが大きすぎます。");
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

gdi::HRGN SaveRGNData(gdi::HRGN region, int32_t position)
{
    RGNRecord* record = RGNDataStore::instance().record(position);
    if (record == nullptr) {
        return 0;
    }
    unsigned char* bytes = record->bytes.data();
    const uint32_t size = gdi::GetRegionData(region, RGNRecordWritable, bytes);
    if (size == 0) {
        return 0;
    }
    if (size >= TooLargeSize) {
        App::MsgBox(tooLargeMessage());
        return 0;
    }
    gdi::GetRegionData(region, size + 16, bytes);
    const gdi::XFORM identity;
    const uint32_t byteCount = static_cast<uint32_t>(getLE32(bytes) + getLE32(bytes + 12));
    const gdi::HRGN copy = gdi::ExtCreateRegion(&identity, byteCount, bytes);
    const uint32_t size2 = gdi::GetRegionData(copy, RGNRecordWritable, bytes);
    if (size2 == 0) {
        return copy;
    }
    if (size2 >= TooLargeSize) {
        gdi::DeleteObject(copy);
        App::MsgBox(tooLargeMessage());
        return 0;
    }
    gdi::GetRegionData(region, size2 + 16, bytes);
    return copy;
}
