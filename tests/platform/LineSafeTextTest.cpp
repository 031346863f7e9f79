#include "platform/LineSafeText.h"

#include <QTest>

#include <string>

// Outside text on its way into a pane line, a log file or an event: what may break the line or turn its text
// around shows as an escape, and everything else stays as it was, byte for byte.
class LineSafeTextTest : public QObject
{
    Q_OBJECT

private slots:
    void lineSafeText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("shown");

        const QByteArray persian =
            "C:\\\xd8\xb3\xd9\x84\xd8\xa7\xd9\x85\xe2\x80\x8c\xd9\x87\xd8\xa7 \xe2\x82\xac \xf0\x9f\x93\xa6";
        QTest::newRow("a path in Persian with its zero-width non-joiner, a euro sign and an emoji stays")
            << persian << persian;
        QTest::newRow("a folder name holding CR LF and a forged line")
            << QByteArray("/srv/zor\r\n1/1/24 9:00:00 AM: Timer Started!")
            << QByteArray("/srv/zor<U+000D><U+000A>1/1/24 9:00:00 AM: Timer Started!");
        QTest::newRow("TAB, NUL, DEL and a C1 control") << QByteArray("a\tb", 3) + QByteArray(1, '\0') + "\x7f\xc2\x85"
                                                        << QByteArray("a<U+0009>b<U+0000><U+007F><U+0085>");
        QTest::newRow("a right-to-left override, a byte order mark and a line separator")
            << QByteArray("exe.\xe2\x80\xaetxt\xef\xbb\xbf\xe2\x80\xa8")
            << QByteArray("exe.<U+202E>txt<U+FEFF><U+2028>");
        QTest::newRow("a tag character beyond the basic plane")
            << QByteArray("x\xf3\xa0\x81\x81") << QByteArray("x<U+E0041>");
        QTest::newRow("bytes that are not UTF-8") << QByteArray("a\xff\xc3(") << QByteArray("a<0xFF><0xC3>(");
    }

    void lineSafeText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, shown);
        const std::string safe = ::lineSafeText(text.toStdString());
        QCOMPARE(QByteArray::fromStdString(safe), shown);
        QCOMPARE(::lineSafeText(safe), safe);
    }
};

QTEST_GUILESS_MAIN(LineSafeTextTest)
#include "LineSafeTextTest.moc"
