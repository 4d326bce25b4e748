#pragma once

#include "TestMain.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What every fuzz target shares: the surroundings of the unit tests (Qt's offscreen
// platform, one 96 DPI screen, private folders) with one application object for the
// whole run, a check that ends the run as a crash, and the size limit of the pictures
// a target decodes.
namespace fuzzsupport {

inline void startApplication()
{
    static const auto environment = testsupport::prepareEnvironment();
    // Qt's own arguments, not libFuzzer's: the application must not take any of them.
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

// A property of the code under test that did not hold: reported like a crash, so
// that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Pictures up to this many pixels (256 x 256) are decoded. Larger ones (a surface
// holds up to 64 Mi) run the same code on more rows, only slower, and several copies
// of them at once would crowd the machine; the size checks that refuse pictures
// beyond a surface read only headers and stay covered.
constexpr int64_t MaxDecodedPixels = int64_t(1) << 16;

// True when Qt's readers declare a size between MaxDecodedPixels and the largest
// surface (beyond it the loader refuses the picture before decoding it).
inline bool declaresLargePicture(const QByteArray& bytes)
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

// The input as a file of its own, for the code that reads pictures by path.
inline QString writeInputFile(const uint8_t* data, size_t size)
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
