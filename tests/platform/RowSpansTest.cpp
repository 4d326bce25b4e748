#include "TestMain.h"

#include "platform/RowSpans.h"

#include <QTest>
#include <random>
#include <vector>

// Every scan path finds the same runs as the plain one, on rows whose runs start and
// end at every offset within and across the vector widths.
class RowSpansTest : public QObject
{
    Q_OBJECT

private slots:
    void testPathsAgree()
    {
        constexpr uint32_t Key = 0xFF00FF00;
        std::mt19937 random(20261207);
        const RowSpans::Scan plain = RowSpans::path(RowSpans::Path::Plain);
        QVERIFY(plain != nullptr);
        int pathsRun = 0;
        for (const RowSpans::Path which : {RowSpans::Path::Sse2, RowSpans::Path::Avx2}) {
            const RowSpans::Scan scan = RowSpans::path(which);
            if (scan == nullptr) {
                continue; // not in this build, or not on this processor
            }
            ++pathsRun;
            for (int round = 0; round < 2000; ++round) {
                const int width = static_cast<int>(random() % 140);
                // Short runs of key and other pixels, so that edges fall everywhere.
                std::vector<uint32_t> row(static_cast<size_t>(width));
                bool isKey = random() % 2 == 0;
                for (int x = 0; x < width;) {
                    // Mostly short runs, now and then one across a whole block.
                    const int length = 1 + static_cast<int>(random() % (round % 4 == 0 ? 40 : 11));
                    for (int i = 0; i < length && x < width; ++i, ++x) {
                        row[static_cast<size_t>(x)] = isKey ? Key : Key ^ (1u << (random() % 32));
                    }
                    isKey = !isKey;
                }
                std::vector<int32_t> expected(static_cast<size_t>(width) + 1, -1);
                std::vector<int32_t> actual(static_cast<size_t>(width) + 1, -1);
                const int expectedCount = plain(row.data(), width, Key, expected.data());
                QCOMPARE(scan(row.data(), width, Key, actual.data()), expectedCount);
                QCOMPARE(actual, expected);
            }
        }
        QVERIFY(RowSpans::best() != nullptr);
        // Every x86-64 processor has SSE2.
#if defined(__x86_64__)
        QVERIFY(pathsRun >= 1);
#endif
    }

    void testRunsOfARow()
    {
        const std::vector<uint32_t> row{1, 2, 2, 1, 1, 3, 1, 4};
        std::vector<int32_t> spans(row.size() + 1);
        const int count = RowSpans::best()(row.data(), int(row.size()), 1, spans.data());
        spans.resize(static_cast<size_t>(count));
        QCOMPARE(spans, (std::vector<int32_t>{1, 3, 5, 6, 7, 8}));
    }
};

DESKWORD_TEST_MAIN(RowSpansTest)
#include "RowSpansTest.moc"
