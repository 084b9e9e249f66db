#include "glyphs/gamename.h"
#include "glyphs/glyphs.h"

#include <QTest>
#include <set>

class TestGlyphs : public QObject
{
    Q_OBJECT
private slots:
    void everyCodeUnitGivesOneUnit();
    void convertName_data();
    void convertName();
    void gameFit_data();
    void gameFit();
    void gameFitOfSurrogatePairs();
};

// The whole UTF-16 range: exactly the 40 letters whose glyph differs change,
// each into a unit above U+007F, and every other unit passes through.
void TestGlyphs::everyCodeUnitGivesOneUnit()
{
    const std::set<char16_t> unchanged{u'f', u'l', u'm', u'p', u'q', u'z',
                                       u'F', u'I', u'M', u'P', u'Q', u'Y'};
    int changed = 0;
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        const char16_t c = char16_t(u);
        const char16_t g = glyphs::glyphFor(c);
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (!letter || unchanged.count(c)) {
            QCOMPARE(g, c);
        } else {
            QVERIFY2(g > 0x7F, qPrintable(QString(QChar(c))));
            ++changed;
        }
    }
    QCOMPARE(changed, 40);
}

void TestGlyphs::convertName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("abc") << "abc" << QString::fromUtf16(u"\u0103\u0637\u010D");
    QTest::newRow("Name") << "Name" << QString::fromUtf16(u"\u0143\u0103m\u00EB");
    QTest::newRow("small t gives capital T with stroke")
        << "test" << QString::fromUtf16(u"\u0166\u00EB\u06A9\u0166");
    QTest::newRow("Player_01") << "Player_01"
                               << QString::fromUtf16(u"Pl\u0103\u00FD\u00EB\u0155_01");
    QTest::newRow("B gives the small beta") << "B" << QString::fromUtf16(u"\u03B2");
    QTest::newRow("v and V are two digit sevens") << "vV" << QString::fromUtf16(u"\u0667\u06F7");
    QTest::newRow("x and X are the Cyrillic ha pair")
        << "xX" << QString::fromUtf16(u"\u04B3\u04B2");
    QTest::newRow("letters kept") << "flmpqzFIMPQY"
                                  << "flmpqzFIMPQY";
    QTest::newRow("space and digit pass") << "a 1" << QString::fromUtf16(u"\u0103 1");
    QTest::newRow("accented letter passes")
        << QString::fromUtf16(u"\u00E9") << QString::fromUtf16(u"\u00E9");
    QTest::newRow("whole alphabet")
        << "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
        << QString::fromUtf16(u"\u0103\u0637\u010D\u0111\u00EBf\u011F\u0127\u0623\u0630\u0137lm"
                              u"\u014B\u00F0pq\u0155\u06A9\u0166\u06BA\u0667\u03C9\u04B3\u00FDz"
                              u"\u00C2\u03B2\u010C\u0110\u0112F\u0122\u0124I\u0134\u0136\u013BM"
                              u"\u0143\u014CPQ\u0154\u015A\u0164\u0168\u06F7\u1E80\u04B2Y\u0179");
}

void TestGlyphs::convertName()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(glyphs::convertName(name), expected);
}

// What the game keeps of a converted name: 31 bytes of UTF-8, never half a
// character.
void TestGlyphs::gameFit_data()
{
    QTest::addColumn<QString>("typed"); // converted before counting
    QTest::addColumn<int>("characters");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("kept"); // characters, which here are code units too
    QTest::newRow("empty") << "" << 0 << 0 << 0;
    QTest::newRow("1-byte letters") << "flmpq" << 5 << 5 << 5;
    QTest::newRow("2-byte glyphs") << "abc" << 3 << 6 << 3;
    QTest::newRow("3-byte glyph W") << "W" << 1 << 3 << 1;
    QTest::newRow("exactly 31 bytes") << QString(31, QChar(u'f')) << 31 << 31 << 31;
    QTest::newRow("32 bytes") << QString(32, QChar(u'f')) << 32 << 32 << 31;
    QTest::newRow("15 2-byte glyphs and a 1-byte letter: 31")
        << QString(15, QChar(u'a')) + "f" << 16 << 31 << 16;
    QTest::newRow("a 1-byte letter, then 15 2-byte glyphs: 31")
        << "f" + QString(15, QChar(u'a')) << 16 << 31 << 16;
    QTest::newRow("2-byte glyph straddling byte 31 is cut, 32 bytes")
        << "ff" + QString(15, QChar(u'a')) << 17 << 32 << 16;
    QTest::newRow("3-byte glyph straddling byte 31 is cut")
        << QString(29, QChar(u'f')) + "W" << 30 << 32 << 29;
    QTest::newRow("xXx_DarkSniper_xXx") << "xXx_DarkSniper_xXx" << 18 << 33 << 17;
}

void TestGlyphs::gameFit()
{
    QFETCH(QString, typed);
    QFETCH(int, characters);
    QFETCH(int, bytes);
    QFETCH(int, kept);
    const QString name = glyphs::convertName(typed);
    const glyphs::GameFit fit = glyphs::gameFit(name);
    QCOMPARE(fit.characters, characters);
    QCOMPARE(fit.bytes, bytes);
    QCOMPARE(fit.bytes, name.toUtf8().size());
    QCOMPARE(fit.keptCharacters, kept);
    QCOMPARE(fit.keptUnits, kept);
    QVERIFY(name.first(kept).toUtf8().size() <= glyphs::kGameNameBytes);
    QCOMPARE(fit.fits(), bytes <= 31);
}

// Outside the glyphs: a character of two UTF-16 units counts once, as 4
// bytes, and is cut whole.
void TestGlyphs::gameFitOfSurrogatePairs()
{
    const QString smiley = QString::fromUtf16(u"\U0001F600");
    const glyphs::GameFit fit = glyphs::gameFit(QString(28, QChar(u'f')) + smiley);
    QCOMPARE(fit.characters, 29);
    QCOMPARE(fit.bytes, 32);
    QCOMPARE(fit.keptCharacters, 28);
    QCOMPARE(fit.keptUnits, 28);
    const glyphs::GameFit fits = glyphs::gameFit(QString(27, QChar(u'f')) + smiley);
    QCOMPARE(fits.keptUnits, 29);
    QVERIFY(fits.fits());
}

QTEST_APPLESS_MAIN(TestGlyphs)
#include "tst_glyphs.moc"
