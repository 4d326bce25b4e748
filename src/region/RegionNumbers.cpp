#include "RegionNumbers.h"

#include "RGNDataStore.h"
#include "forms/App.h"
#include "graphics/ImageFormats.h"
#include "graphics/Units.h"

#include <QCoreApplication>
#include <QtEndian>
#include <array>
#include <cstring>

namespace {

using BuiltInRecord = std::array<unsigned char, BuiltInRecordSize>;

std::array<BuiltInRecord, 2>& builtInTable()
{
    static std::array<BuiltInRecord, 2> table{};
    return table;
}

int16_t& initFlag()
{
    static int16_t flag = 0;
    return flag;
}

} // namespace

void RGNDataInit()
{
    // Record 0: the badge plate, a 57 x 13 rectangle at (1, 1) without its corner pixels.
    BuiltInRecord& badge = builtInTable()[0];
    badge.fill(0);
    const int32_t header[] = {32, 1, 3, 48, 1, 1, 58, 14};
    const int32_t rects[] = {2, 1, 57, 2, 1, 2, 58, 13, 2, 13, 57, 14};
    unsigned char* p = badge.data();
    for (int32_t v : header) {
        qToLittleEndian<int32_t>(v, p);
        p += 4;
    }
    for (int32_t v : rects) {
        qToLittleEndian<int32_t>(v, p);
        p += 4;
    }
    // Record 1 stays all zero.
    builtInTable()[1].fill(0);
    initFlag() = -1;
}

int16_t RGNDataInitFlag()
{
    return initFlag();
}

void ensureRGNDataInit()
{
    if (initFlag() == 0) {
        RGNDataInit();
    }
}

const unsigned char* builtInRecord(int32_t number)
{
    if (number < 0 || number > 1) {
        return nullptr;
    }
    return builtInTable()[static_cast<size_t>(number)].data();
}

QImage busyBadgePicture()
{
    static const QImage picture = imageformats::builtIn(QStringLiteral(":/badge.bmp"), "bmp")
                                      .convertToFormat(QImage::Format_RGB32);
    return picture;
}

gdi::HRGN RGNFromData(int32_t number, double x, double y)
{
    const unsigned char* record = nullptr;
    uint32_t capacity = 0;
    if (number >= 10) {
        RGNRecord* stored = RGNDataStore::instance().record(number - 10);
        if (stored != nullptr) {
            record = stored->bytes.data();
            capacity = static_cast<uint32_t>(stored->bytes.size());
        }
    } else {
        record = builtInRecord(number);
        capacity = BuiltInRecordSize;
    }
    gdi::HRGN region = 0;
    if (record != nullptr) {
        // The byte count is the header's own size plus its rectangle bytes; data that
        // claims more than the record holds is as unreadable as a zero record.
        const int64_t byteCount = int64_t(qFromLittleEndian<int32_t>(record)) +
                                  int64_t(qFromLittleEndian<int32_t>(record + 12));
        if (byteCount > 0 && byteCount <= capacity) {
            const gdi::XFORM identity;
            region = gdi::ExtCreateRegion(&identity, static_cast<uint32_t>(byteCount), record);
        }
    }
    if (region == 0) {
        App::MsgBox(
            QCoreApplication::translate("mod_RGN_Proc", "It failed in reading of region data."));
        App::EndNow(1);
        return 0;
    }
    if (x != 0 || y != 0) {
        gdi::OffsetRgn(region, TwipToPixelX(x), TwipToPixelY(y));
    }
    return region;
}
