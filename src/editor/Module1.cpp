#include "Module1.h"

#include <QList>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>

bool ScrollSyncBusy = false;

namespace {

struct ScrollSync
{
    QPointer<QPlainTextEdit> hWndText1;
    QPointer<QPlainTextEdit> hWndText2;
    std::function<void()> movePic;
    QList<QMetaObject::Connection> connections;
};

ScrollSync& coupling()
{
    static ScrollSync state;
    return state;
}

class BusyGuard
{
public:
    BusyGuard() { ScrollSyncBusy = true; }
    ~BusyGuard() { ScrollSyncBusy = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
};

// Copies the source's scroll positions to the target, horizontal first; movePic
// follows each axis that differed.
void copyPositions(QPlainTextEdit* source, QPlainTextEdit* target)
{
    if (ScrollSyncBusy || source == nullptr || target == nullptr) {
        return;
    }
    const BusyGuard busy;
    const std::function<void()> movePic = coupling().movePic;
    const auto axes = {&QAbstractScrollArea::horizontalScrollBar,
                       &QAbstractScrollArea::verticalScrollBar};
    for (auto axis : axes) {
        QScrollBar* from = (source->*axis)();
        QScrollBar* to = (target->*axis)();
        if (from->value() != to->value()) {
            to->setValue(from->value());
            if (movePic) {
                movePic();
            }
        }
    }
}

void watch(QScrollBar* bar, void (*follow)())
{
    ScrollSync& state = coupling();
    state.connections.append(QObject::connect(bar, &QScrollBar::valueChanged, bar, follow));
}

void watchRange(QScrollBar* bar)
{
    // A box whose range changed (new text, font or size) may have had its position
    // clamped: Text1's positions are the ones that count.
    ScrollSync& state = coupling();
    state.connections.append(
        QObject::connect(bar, &QScrollBar::rangeChanged, bar, [] { SyncScrollFromText1(); }));
}

} // namespace

void StartScrollSync(QPlainTextEdit* hText1, QPlainTextEdit* hText2, std::function<void()> movePic)
{
    StopScrollSync();
    ScrollSync& state = coupling();
    state.hWndText1 = hText1;
    state.hWndText2 = hText2;
    state.movePic = std::move(movePic);
    if (hText1 == nullptr || hText2 == nullptr) {
        return;
    }
    watch(hText1->horizontalScrollBar(), &SyncScrollFromText1);
    watch(hText1->verticalScrollBar(), &SyncScrollFromText1);
    watch(hText2->horizontalScrollBar(), &SyncScrollFromText2);
    watch(hText2->verticalScrollBar(), &SyncScrollFromText2);
    // Text1 scrolls itself to keep the caret in view without telling its scroll
    // bars' listeners; every such scroll comes with a repaint request.
    state.connections.append(QObject::connect(hText1, &QPlainTextEdit::updateRequest, hText1,
                                              [] { SyncScrollFromText1(); }));
    for (QPlainTextEdit* box : {hText1, hText2}) {
        watchRange(box->horizontalScrollBar());
        watchRange(box->verticalScrollBar());
    }
}

void StopScrollSync()
{
    ScrollSync& state = coupling();
    for (const QMetaObject::Connection& connection : std::as_const(state.connections)) {
        QObject::disconnect(connection);
    }
    state.connections.clear();
    state.hWndText1.clear();
    state.hWndText2.clear();
    state.movePic = nullptr;
}

QPlainTextEdit* ScrollSyncText1()
{
    return coupling().hWndText1;
}

void SyncScrollFromText1()
{
    copyPositions(coupling().hWndText1, coupling().hWndText2);
}

void SyncScrollFromText2()
{
    copyPositions(coupling().hWndText2, coupling().hWndText1);
}
