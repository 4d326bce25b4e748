#include "FullScreenWatch.h"

FullScreenWatch::FullScreenWatch(QObject* parent) : QObject(parent) {}

FullScreenWatch::~FullScreenWatch() = default;

bool FullScreenWatch::supported()
{
    return false;
}

bool FullScreenWatch::nativeEventFilter(const QByteArray&, void*, qintptr*)
{
    return false;
}

void FullScreenWatch::followActiveWindow() {}

void FullScreenWatch::update() {}
