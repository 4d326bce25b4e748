#include "TestMain.h"

#include "editor/Module1.h"

#include <QPlainTextEdit>
#include <QScrollBar>

// The scroll coupling of two edit boxes on its own: a scroll of either box is copied
// to the other, and each axis that needed a correction is followed by one movePic.
class ScrollSyncTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    QPlainTextEdit* text1 = nullptr;
    QPlainTextEdit* text2 = nullptr;
    QList<QList<int>> seen; // (h1, h2, v1, v2) at each movePic, all inside a correction

    QList<int> positions() const
    {
        return {text1->horizontalScrollBar()->value(), text2->horizontalScrollBar()->value(),
                text1->verticalScrollBar()->value(), text2->verticalScrollBar()->value()};
    }

private slots:
    void init()
    {
        seen.clear();
        window = std::make_unique<QWidget>();
        for (QPlainTextEdit** box : {&text1, &text2}) {
            *box = new QPlainTextEdit(window.get());
            (*box)->setLineWrapMode(QPlainTextEdit::NoWrap);
            (*box)->setGeometry(box == &text1 ? 0 : 210, 0, 200, 150);
            (*box)->setPlainText(
                QStringList(200, QStringLiteral("word ").repeated(40)).join(u'\n'));
        }
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        StartScrollSync(text1, text2, [this] {
            QVERIFY(ScrollSyncBusy);
            seen.append(positions());
        });
    }
    void cleanup()
    {
        StopScrollSync();
        window.reset();
        QVERIFY(!ScrollSyncBusy);
    }

    void testScrolling_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<QList<int>>>("expected");
        QTest::newRow("Text1 down") << "v1" << QList<QList<int>>{{0, 0, 17, 17}};
        QTest::newRow("Text1 right") << "h1" << QList<QList<int>>{{17, 17, 0, 0}};
        QTest::newRow("Text2 down") << "v2" << QList<QList<int>>{{0, 0, 17, 17}};
        QTest::newRow("Text2 right") << "h2" << QList<QList<int>>{{17, 17, 0, 0}};
        QTest::newRow("equal positions") << "equal" << QList<QList<int>>{};
        QTest::newRow("both axes, horizontal first")
            << "both" << QList<QList<int>>{{17, 17, 9, 0}, {17, 17, 9, 9}};
    }
    void testScrolling()
    {
        QFETCH(QString, action);
        QFETCH(QList<QList<int>>, expected);
        QPlainTextEdit* box = action.endsWith(u'2') ? text2 : text1;
        if (action.startsWith(u'v')) {
            box->verticalScrollBar()->setValue(17);
        } else if (action.startsWith(u'h')) {
            box->horizontalScrollBar()->setValue(17);
        } else if (action == u"equal") {
            SyncScrollFromText1();
            SyncScrollFromText2();
        } else {
            ScrollSyncBusy = true; // out of step without a correction
            text1->horizontalScrollBar()->setValue(17);
            text1->verticalScrollBar()->setValue(9);
            ScrollSyncBusy = false;
            SyncScrollFromText1();
        }
        QCOMPARE(seen, expected);
    }

    void testText1ScrollingToItsCaretIsFollowed()
    {
        text1->moveCursor(QTextCursor::End); // scrolls without a scroll bar signal
        const QList<int> now = positions();
        QVERIFY(now[0] > 0 && now[2] > 0);
        QCOMPARE(now[1], now[0]);
        QCOMPARE(now[3], now[2]);
        QCOMPARE(seen.size(), 2);
    }
};

DESKWORD_TEST_MAIN(ScrollSyncTest)
#include "ScrollSyncTest.moc"
