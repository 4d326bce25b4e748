#include "DesktopPicture.h"

#include "Form1.h"
#include "Settings.h"
#include "region/frm_RGN_Picture.h"
#include "shape/PictureFileShape.h"
#include "shape/ShapeBuilder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString Key = QStringLiteral("PICTUREFILE");

// A number for a new picture shape: the first free one, but never the text's, which
// the next Execute would draw the text into.
int32_t newPictureNumber()
{
    int32_t number = GetFreePictureIndex();
    while (number == TextShapeNumber || frm_RGN_Picture::instance().pPicture(number) != nullptr) {
        ++number;
    }
    return number;
}

void setPicture(int32_t number, const QString& path)
{
    const int32_t previous = PictureRegionNumber;
    PictureRegionNumber = number;
    if (previous > 0 && previous != number) {
        // The old picture is no longer shown anywhere (the desktop keeps what it
        // composed): its number, holder and record go.
        FreePictureNumber(previous);
    }
    if (Form1* host = Form1::instance()) {
        host->PictureFileName = path;
    }
}

} // namespace

namespace DesktopPicture {

bool buildFromSetting()
{
    if (!IniKeyExists(DataSection, Key)) {
        return false;
    }
    const QString path = ReadIniValue(DataSection, Key);
    if (path.isEmpty()) {
        setPicture(0, QString());
        return true;
    }
    const int32_t number = MakeRGNFromPictureFile(path, 0);
    if (number == 0) {
        return false;
    }
    setPicture(number, path);
    return true;
}

bool choose(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const int32_t candidate = newPictureNumber();
    const int32_t number = MakeRGNFromPictureFile(absolute, candidate);
    if (number == 0) {
        // The number was prepared for this picture (and a picture too detailed for a
        // shape has reached its holder already).
        FreePictureNumber(candidate);
        return false;
    }
    setPicture(number, absolute);
    WriteIniValue(DataSection, Key, absolute);
    return true;
}

void clear()
{
    setPicture(0, QString());
    WriteIniValue(DataSection, Key, QString());
}

QString startFolder()
{
    const Form1* host = Form1::instance();
    if (host != nullptr && !host->PictureFileName.isEmpty()) {
        const QFileInfo current(host->PictureFileName);
        if (current.absoluteDir().exists()) {
            return current.absolutePath();
        }
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QDir(pictures).exists() ? pictures : QDir::homePath();
}

} // namespace DesktopPicture
