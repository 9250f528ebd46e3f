#include <CCollation.h>
#include <CFormLayout.h>
#include <CSortedListModel.h>

#include <QTest>

#include <algorithm>
#include <random>

class tst_CCollation : public QObject
{
    Q_OBJECT

private slots:
    void twipsToPixels_data();
    void twipsToPixels();
    void order_data();
    void order();
    void sameOrderWithoutLocale();
    void modelStaysSortedWhateverTheInsertOrder();
    void startsWith_data();
    void startsWith();
    void baseOrderFollowsListOrder_data();
    void baseOrderFollowsListOrder();
};

void tst_CCollation::twipsToPixels_data()
{
    QTest::addColumn<int>("intTwips");
    QTest::addColumn<int>("intPixels");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("one pixel") << 15 << 1;
    QTest::newRow("under half") << 7 << 0;
    QTest::newRow("half rounds up") << 8 << 1;
    QTest::newRow("button width") << 1215 << 81;
    QTest::newRow("main client width") << 4635 << 309;
    QTest::newRow("main client height") << 3900 << 260;
    QTest::newRow("dialog client height") << 4365 << 291;
    QTest::newRow("label width") << 1005 << 67;
    QTest::newRow("negative half") << -8 << -1;
    QTest::newRow("negative") << -240 << -16;
}

void tst_CCollation::twipsToPixels()
{
    QFETCH(int, intTwips);
    QFETCH(int, intPixels);
    QCOMPARE(TwipsToPixels(intTwips), intPixels);
}

void tst_CCollation::order_data()
{
    QTest::addColumn<QString>("strLocale");
    QTest::addColumn<QString>("strFirst");
    QTest::addColumn<QString>("strSecond");
    QTest::newRow("case ignored") << "en_US"
                                  << "apple"
                                  << "Banana";
    QTest::newRow("case ignored, other way") << "en_US"
                                             << "APPLE"
                                             << "banana";
    QTest::newRow("numbers natural") << "en_US"
                                     << "C9"
                                     << "C10";
    QTest::newRow("numbers natural, long") << "en_US"
                                           << "C99999"
                                           << "C100000";
    QTest::newRow("prefix first") << "en_US"
                                  << "Smith"
                                  << "Smithers";
    QTest::newRow("accent after base letter") << "en_US"
                                              << "e"
                                              << "é";
    QTest::newRow("accent before next letter") << "en_US"
                                               << "é"
                                               << "f";
    QTest::newRow("German umlaut") << "de_DE"
                                   << "Müller"
                                   << "Myers";
    QTest::newRow("Swedish å after z") << "sv_SE"
                                       << "zebra"
                                       << "åsa";
    QTest::newRow("Greek") << "el_GR"
                           << "Άλφα"
                           << "Βήτα";
    QTest::newRow("Cyrillic") << "ru_RU"
                              << "Анна"
                              << "Борис";
    QTest::newRow("tie: exact text decides") << "en_US"
                                             << "ABC"
                                             << "abc";
    QTest::newRow("tie: leading zero") << "en_US"
                                       << "C01"
                                       << "C1";
    QTest::newRow("tie: composed and decomposed") << "en_US"
                                                  << "e\u0301"
                                                  << "\u00e9";
    QTest::newRow("empty first") << "en_US"
                                 << ""
                                 << "0";
    QTest::newRow("C locale numbers") << "C"
                                      << "C9"
                                      << "C10";
    QTest::newRow("C locale case") << "C"
                                   << "apple"
                                   << "Banana";
}

void tst_CCollation::order()
{
    QFETCH(QString, strLocale);
    QFETCH(QString, strFirst);
    QFETCH(QString, strSecond);
    const CCollation objCollation{QLocale(strLocale)};
    QVERIFY2(objCollation.Compare(strFirst, strSecond) < 0,
             qPrintable(strFirst + " < " + strSecond));
    QVERIFY2(objCollation.Compare(strSecond, strFirst) > 0,
             qPrintable(strSecond + " > " + strFirst));
    QCOMPARE(objCollation.Compare(strFirst, strFirst), 0);
}

void tst_CCollation::sameOrderWithoutLocale()
{
    // The suite runs with LC_ALL=C: the system's collation must still sort
    // as English does.
    QStringList lstIds{"c10", "C9", "b", "B", "a10", "A9", "Zoë", "zoe", "é", "E", "", "10", "9"};
    QStringList lstSystem = lstIds;
    QStringList lstEnglish = lstIds;
    std::sort(lstSystem.begin(), lstSystem.end(), CCollation());
    std::sort(lstEnglish.begin(), lstEnglish.end(), CCollation(QLocale("en_US")));
    QCOMPARE(lstSystem, lstEnglish);
    QCOMPARE(lstSystem.mid(0, 5), (QStringList{"", "9", "10", "A9", "a10"}));
}

void tst_CCollation::modelStaysSortedWhateverTheInsertOrder()
{
    QStringList lstIds;
    for (int i = 0; i < 300; ++i)
        lstIds << QStringLiteral("C%1").arg(i) << QStringLiteral("c%1").arg(i % 7);
    QStringList lstSorted = lstIds;
    std::stable_sort(lstSorted.begin(), lstSorted.end(), CCollation());

    std::mt19937 objRandom(7);
    for (int intRound = 0; intRound < 3; ++intRound) {
        std::shuffle(lstIds.begin(), lstIds.end(), objRandom);
        CSortedListModel objModel;
        for (const QString& strId : lstIds) {
            const int intRow = objModel.Insert(strId);
            QCOMPARE(objModel.At(intRow), strId);
        }
        QStringList lstModel;
        for (int i = 0; i < objModel.Count(); ++i)
            lstModel << objModel.At(i);
        QCOMPARE(lstModel, lstSorted);
    }
}

void tst_CCollation::startsWith_data()
{
    QTest::addColumn<QString>("strText");
    QTest::addColumn<QString>("strPrefix");
    QTest::addColumn<bool>("bStarts");
    QTest::newRow("same case") << "Smith"
                               << "Sm" << true;
    QTest::newRow("other case") << "Smith"
                                << "sM" << true;
    QTest::newRow("accent in text") << "Éclair"
                                    << "ec" << true;
    QTest::newRow("accent typed") << "eclair"
                                  << "éc" << true;
    QTest::newRow("decomposed accent in text") << "e\u0301clair"
                                               << "é" << true;
    QTest::newRow("whole text") << "C10"
                                << "c10" << true;
    QTest::newRow("digits as typed") << "C105"
                                     << "C10" << true;
    QTest::newRow("other digits") << "C105"
                                  << "C15" << false;
    QTest::newRow("longer than text") << "C1"
                                      << "C1x" << false;
    QTest::newRow("other letter") << "Smith"
                                  << "Sn" << false;
    QTest::newRow("space counts") << "van Dyke"
                                  << "vand" << false;
    QTest::newRow("empty prefix") << "Smith"
                                  << "" << true;
}

void tst_CCollation::startsWith()
{
    QFETCH(QString, strText);
    QFETCH(QString, strPrefix);
    QFETCH(bool, bStarts);
    QCOMPARE(CCollation().StartsWith(strText, strPrefix), bStarts);
}

void tst_CCollation::baseOrderFollowsListOrder_data()
{
    QTest::addColumn<QString>("strLocale");
    QTest::newRow("English") << "en_US";
    QTest::newRow("German") << "de_DE";
    QTest::newRow("Swedish") << "sv_SE";
    QTest::newRow("Danish") << "da_DK";
    QTest::newRow("no locale") << "C";
}

void tst_CCollation::baseOrderFollowsListOrder()
{
    // The list is searched by base letters: texts in the list's order must
    // never step back in the base order, whatever the locale.
    QFETCH(QString, strLocale);
    const CCollation objCollation{QLocale(strLocale)};
    static const QStringList lstParts{"a", "A", "å", "ä", "æ",       "aa", "o",
                                      "ö", "ø", "e", "é", "E\u0301", "ss", "ß",
                                      "z", "Z", "-", " ", "1",       "10", "9"};
    std::mt19937 objRandom(11);
    QStringList lstTexts;
    for (int i = 0; i < 3000; ++i) {
        QString strText;
        for (int intPart = int(objRandom() % 4); intPart >= 0; --intPart)
            strText += lstParts[int(objRandom() % lstParts.size())];
        lstTexts << strText;
    }
    std::sort(lstTexts.begin(), lstTexts.end(), objCollation);
    for (qsizetype i = 1; i < lstTexts.size(); ++i)
        QVERIFY2(objCollation.CompareBase(lstTexts[i - 1], lstTexts[i]) <= 0,
                 qPrintable(lstTexts[i - 1] + " / " + lstTexts[i]));
}

QTEST_GUILESS_MAIN(tst_CCollation)
#include "tst_CCollation.moc"
