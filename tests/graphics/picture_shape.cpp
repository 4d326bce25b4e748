// Loads a picture file as start-up does and prints its pixels and its shape: the
// loading test runs it several times with different heap contents and compares.
#include "forms/App.h"
#include "graphics/Gdi.h"
#include "graphics/RegionData.h"
#include "region/RegionNumbers.h"
#include "region/frm_RGN_Picture.h"
#include "shape/ShapeBuilder.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc != 2) {
        return 2;
    }
    QTextStream out(stdout);
    App::setMessageBoxHandler([&out](const QString& text) { out << "message " << text << '\n'; });
    ensureRGNDataInit();
    const int32_t number = MakeRGNFromPicture(QString::fromLocal8Bit(argv[1]), 0);
    out << "number " << number << '\n';
    const PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
    out << "pixels";
    for (int y = 0; y < surface.ScaleHeight(); ++y) {
        for (int x = 0; x < surface.ScaleWidth(); ++x) {
            out << ' ' << Qt::hex << surface.Point(x, y);
        }
    }
    out << Qt::dec << "\nshape";
    if (number != 0) {
        const gdi::HRGN region = RGNFromData(number);
        for (const QRect& rect : gdi::regionData(region)->toQRegion()) {
            out << ' ' << rect.x() << ',' << rect.y() << ',' << rect.width() << ','
                << rect.height();
        }
        gdi::DeleteObject(region);
    }
    out << '\n';
    return 0;
}
