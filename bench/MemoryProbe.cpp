// Memory of the running program, measured from the kernel's own counters.
//   memory_probe picture SIDE FORMAT KIND  a SIDE x SIDE picture of one colour (KIND
//                                         "opaque", or "alpha": with one transparent
//                                         pixel), saved as FORMAT (png, webp, ...),
//                                         chosen as the desktop picture; prints the
//                                         peak memory of the choice in picture-sized
//                                         copies (SIDE x SIDE x 4 bytes).
//   memory_probe cycles N                 the program started, then N editor cycles
//                                         (open, close) and N picture choices; prints
//                                         the private dirty memory after the first
//                                         of each and after the last.
// Run in a Release build without sanitizers: they keep freed memory aside.
#include "BenchScreen.h"

#include "app/DesktopPicture.h"
#include "app/Form1.h"
#include "app/SettingsLocation.h"
#include "editor/Form3.h"
#include "forms/App.h"
#include "region/RegionNumbers.h"
#include "shape/PictureFileShape.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <cstdio>
#include <malloc.h>

namespace {

// A value of /proc/self/status or /proc/self/smaps_rollup, in KiB.
qint64 kernelValue(const char* file, const QByteArray& name)
{
    QFile status(QString::fromLatin1(file));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name + ':')) {
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

// Starts the peak resident size (VmHWM) anew from the current one.
bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

void quietMessages()
{
    App::setMessageBoxHandler(
        [](const QString& text) { QTextStream(stderr) << "message: " << text << Qt::endl; });
}

int pictureMemory(int side, const QByteArray& format, bool alpha, const QString& folder)
{
    const QString path = folder + QStringLiteral("/picture.") + QString::fromLatin1(format);
    {
        QImage image(side, side, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        image.fill(qRgb(30, 120, 200));
        if (alpha) {
            image.setPixel(side - 1, side - 1, qRgba(0, 0, 0, 0));
        }
        if (!image.save(path, format.constData())) {
            return 3;
        }
    }
    quietMessages();
    ensureRGNDataInit();
    const qint64 before = kernelValue("/proc/self/status", "VmRSS");
    if (!resetPeak()) {
        return 4;
    }
    const int32_t number = MakeRGNFromPictureFile(path, 0);
    const qint64 peak = kernelValue("/proc/self/status", "VmHWM");
    const double copy = double(side) * side * 4 / 1024;
    std::printf("%s %s %d x %d (%lld bytes): number %d, peak growth %.0f MiB = %.2f copies\n",
                format.constData(), alpha ? "alpha" : "opaque", side, side,
                static_cast<long long>(QFile(path).size()), number, (peak - before) / 1024.0,
                (peak - before) / copy);
    return number != 0 ? 0 : 5;
}

int cycleMemory(int cycles, const QString& folder)
{
    App::setProgramForTesting(folder, QStringLiteral("deskword"));
    SettingsLocation::setProgramForTesting(folder, QStringLiteral("deskword"));
    quietMessages();
    QFile settings(folder + QStringLiteral("/deskword.ini"));
    if (!settings.open(QIODevice::WriteOnly) ||
        settings.write("[DATA]\r\nTEXT=Memory%rprobe\r\nFontBold=True\r\nFontSize=30\r\n") < 0) {
        return 3;
    }
    settings.close();
    QStringList pictures;
    for (int i = 0; i < 2; ++i) {
        QImage image(120, 80, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter(&image).fillRect(10 + i * 5, 10, 60, 40, QColor(200, 40, 40));
        pictures << folder + QStringLiteral("/figure%1.png").arg(i);
        image.save(pictures.last(), "PNG");
    }
    Form::Load<Form1>();
    QCoreApplication::processEvents();

    const auto editorCycle = [] {
        Form3* editor = Form3::open();
        QCoreApplication::processEvents();
        editor->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    };
    const auto privateDirty = [] {
        return kernelValue("/proc/self/smaps_rollup", "Private_Dirty");
    };
    // The allocator's own figures tell memory still in use (a leak) from freed memory
    // that the allocator keeps (fragmentation).
    const auto heapInUse = [] { return qint64(mallinfo2().uordblks / 1024); };
    const auto heapHeld = [] { return qint64((mallinfo2().arena + mallinfo2().hblkhd) / 1024); };
    editorCycle();
    const qint64 afterFirstCycle = privateDirty();
    const qint64 inUseAfterFirst = heapInUse();
    const qint64 heldAfterFirst = heapHeld();
    for (int i = 1; i < cycles; ++i) {
        editorCycle();
    }
    const qint64 afterCycles = privateDirty();
    std::printf("editor cycles: heap in use %+lld KiB, heap held %+lld KiB\n",
                static_cast<long long>(heapInUse() - inUseAfterFirst),
                static_cast<long long>(heapHeld() - heldAfterFirst));
    // What giving the allocator's free memory back to the system would change.
    malloc_trim(0);
    std::printf("editor cycles: after malloc_trim %+lld KiB private dirty\n",
                static_cast<long long>(privateDirty() - afterFirstCycle));
    DesktopPicture::choose(pictures[0]);
    const qint64 afterFirstChoice = privateDirty();
    for (int i = 1; i < cycles; ++i) {
        DesktopPicture::choose(pictures[i % 2]);
    }
    const qint64 afterChoices = privateDirty();
    std::printf("editor cycles: %lld KiB after the first, %lld KiB after %d (%+lld KiB, %+.1f "
                "KiB each)\n",
                static_cast<long long>(afterFirstCycle), static_cast<long long>(afterCycles),
                cycles, static_cast<long long>(afterCycles - afterFirstCycle),
                double(afterCycles - afterFirstCycle) / (cycles - 1));
    std::printf("picture choices: %lld KiB after the first, %lld KiB after %d (%+lld KiB, %+.1f "
                "KiB each)\n",
                static_cast<long long>(afterFirstChoice), static_cast<long long>(afterChoices),
                cycles, static_cast<long long>(afterChoices - afterFirstChoice),
                double(afterChoices - afterFirstChoice) / (cycles - 1));
    std::fflush(stdout);
    App::EndNow(0);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir* screen = useBenchScreen();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == u"picture") {
        return pictureMemory(args[2].toInt(), args[3].toLatin1(), args[4] == u"alpha",
                             screen->path());
    }
    if (args.size() == 3 && args[1] == u"cycles" && args[2].toInt() > 1) {
        return cycleMemory(args[2].toInt(), screen->path());
    }
    std::fprintf(stderr, "usage: memory_probe picture SIDE FORMAT opaque|alpha\n"
                         "       memory_probe cycles N\n");
    return 2;
}
