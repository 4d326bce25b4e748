#include "EditorFixture.h"
#include "TestMain.h"

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's own count (its allocator replaces the C library's).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// Bytes the program has allocated and not freed.
qint64 heapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return qint64(__sanitizer_get_current_allocated_bytes());
#else
    return qint64(mallinfo2().uordblks);
#endif
}

} // namespace

// Opening and closing the editor again and again leaves nothing behind.
class EditorMemoryTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<EditorFixture> fixture;

    bool editorCycle()
    {
        Form3* editor = fixture->openEditor(u"Memory\r\nprobe"_s);
        if (editor == nullptr) {
            return false;
        }
        editor->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        return Form::Find<Form3>() == nullptr;
    }

private slots:
    void init() { fixture = std::make_unique<EditorFixture>(); }
    void cleanup()
    {
        const std::unique_ptr<EditorFixture> done = std::move(fixture);
        QVERIFY(done->state.messages.isEmpty());
    }

    // Every opening drew its scroll bars in palettes of its own, and the style kept
    // those pictures for good: about 5 KB more per opening.
    void testCyclesDoNotAddUp()
    {
        for (int i = 0; i < 5; ++i) { // fonts, caches and the like, once
            QVERIFY(editorCycle());
        }
        const qint64 before = heapInUse();
        constexpr int Cycles = 50;
        for (int i = 0; i < Cycles; ++i) {
            QVERIFY(editorCycle());
        }
        const qint64 growth = heapInUse() - before;
        qInfo("heap in use after %d editor cycles: %+lld bytes", Cycles,
              static_cast<long long>(growth));
        QVERIFY2(growth < Cycles * 2048, qPrintable(u"%1 bytes more"_s.arg(growth)));
    }
};

DESKWORD_TEST_MAIN(EditorMemoryTest)
#include "EditorMemoryTest.moc"
