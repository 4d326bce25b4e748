// Shapes from picture files the user chose, in any format Qt reads. A picture with
// transparency is cut by its alpha channel, an opaque one by the colour of its pixel
// (0, 0) as every other shape.
#include "AlphaKey.h"
#include "ShapeBuilder.h"
#include "forms/App.h"
#include "graphics/PictureFile.h"
#include "region/RGNDataStore.h"
#include "region/frm_RGN_Picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QtEndian>

namespace {

// Moves the stored outline of a number up by one row: the scan saw the picture below
// an extra row of key colour.
void raiseOutlineOneRow(int32_t number)
{
    RGNRecord* record = RGNDataStore::instance().record(number - 10);
    if (record == nullptr) {
        return;
    }
    const unsigned char* bytes = record->bytes.data();
    const uint32_t byteCount = static_cast<uint32_t>(qFromLittleEndian<int32_t>(bytes) +
                                                     qFromLittleEndian<int32_t>(bytes + 12));
    const gdi::XFORM identity;
    const gdi::HRGN region = gdi::ExtCreateRegion(&identity, byteCount, bytes);
    gdi::OffsetRgn(region, 0, -1);
    gdi::DeleteObject(SaveRGNData(region, number - 10));
    gdi::DeleteObject(region);
}

} // namespace

QString unreadablePictureMessage(const QString& fileName)
{
    return QCoreApplication::translate("mod_RGN_Proc_Plus", "The picture file cannot be read:") +
           QLatin1Char('\n') + QDir::toNativeSeparators(fileName);
}

QString pictureTooDetailedMessage()
{
    return tooLargeMessage() + QLatin1Char('\n') +
           QCoreApplication::translate(
               "mod_RGN_Proc_Plus",
               "この画像は形が細かすぎます（写真など）。背景が一色の画像を選んでください。");
}

int32_t MakeRGNFromPictureFile(const QString& fileName, int32_t index)
{
    // The surface's earlier content goes first: while the picture loads, nothing but
    // the decoded picture and one surface of its size is held.
    PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
    surface.releaseImage();
    QImage picture;
    switch (PictureFile::read(fileName, picture)) {
    case PictureSurface::LoadResult::Loaded:
        break;
    case PictureSurface::LoadResult::NotFound:
    case PictureSurface::LoadResult::Undecodable:
        App::MsgBox(unreadablePictureMessage(fileName));
        return 0;
    case PictureSurface::LoadResult::TooLarge:
        App::MsgBox(tooLargeMessage() + QLatin1Char('\n') + QDir::toNativeSeparators(fileName));
        return 0;
    }

    if (!PictureFile::hasTransparency(picture)) {
        surface.setPicture(std::move(picture));
        return MakeRGNFromPicture(QString(), index);
    }
    AlphaKeyed keyed = keyByAlpha(std::move(picture));
    if (!keyed.extraRow) {
        keyed.scanned = QImage(); // the same pixels as drawn: the surface takes those
    }
    if (!surface.setPicture(keyed.extraRow ? std::move(keyed.scanned) : std::move(keyed.drawn))) {
        App::MsgBox(tooLargeMessage() + QLatin1Char('\n') + QDir::toNativeSeparators(fileName));
        return 0;
    }
    const int32_t number = MakeRGNFromPicture(QString(), index);
    if (number != 0 && keyed.extraRow) {
        raiseOutlineOneRow(number);
        frm_RGN_Picture::instance().pPicture(number)->Picture = keyed.drawn;
        // The copy with the extra row was only for the scan.
        surface.releaseImage();
    }
    return number;
}
