#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

// Benchmarks run on Qt's offscreen platform with one screen of 1920 x 1080 pixels
// at 96 DPI, so that text is measured and cut as on a common desktop. Call before
// the application object is made; keep the returned folder while it runs.
inline QTemporaryDir* useBenchScreen()
{
    static QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("screen.json")));
    if (config.open(QIODevice::WriteOnly)) {
        config.write(R"({"screens":[{"name":"bench","x":0,"y":0,"width":1920,"height":1080,)"
                     R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
        config.close();
    }
    qputenv("QT_QPA_PLATFORM",
            QByteArray("offscreen:configfile=") + config.fileName().toLocal8Bit());
    qputenv("QT_FONT_DPI", "96");
    return &dir;
}
