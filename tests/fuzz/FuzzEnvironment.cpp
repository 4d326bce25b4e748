#include "FuzzEnvironment.h"

#include "TestMain.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

// Once before the first input: the surroundings of the unit tests (Qt's offscreen
// platform, one 96 DPI screen, private folders) and one application for the run.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static const auto environment = testsupport::prepareEnvironment();
    // Qt's own arguments, not libFuzzer's: the application must not take any of them.
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return 0;
}

namespace fuzzsupport {

bool declaresLargePicture(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) {
        return false;
    }
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    const int64_t pixels = int64_t(size.width()) * size.height();
    return size.isValid() && pixels > MaxDecodedPixels && pixels <= (int64_t(1) << 26);
}

QString writeInputFile(const uint8_t* data, size_t size)
{
    static const QTemporaryDir folder;
    const QString path = folder.path() + QStringLiteral("/input");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
            static_cast<qint64>(size)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

} // namespace fuzzsupport
