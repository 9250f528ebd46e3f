#include <CCollation.h>
#include <CSortedListModel.h>

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <random>
#include <vector>

namespace {
QStringList entriesOf(const CSortedListModel& objModel)
{
    QStringList lstEntries;
    for (int intRow = 0; intRow < objModel.Count(); ++intRow)
        lstEntries << objModel.At(intRow);
    return lstEntries;
}

void fill(CSortedListModel& objModel, const QStringList& lstEntries)
{
    for (const QString& strEntry : lstEntries)
        objModel.Insert(strEntry);
}
} // namespace

class tst_CSortedListModel : public QObject
{
    Q_OBJECT

private slots:
    void randomRunAcrossBlocksMatchesReference_data();
    void randomRunAcrossBlocksMatchesReference();
    void findPrefix_data();
    void findPrefix();
    void findPrefixAgreesWithScan_data();
    void findPrefixAgreesWithScan();
};

void tst_CSortedListModel::randomRunAcrossBlocksMatchesReference_data()
{
    // The entries live in blocks that split when full (2048) and join when
    // small; these runs split and join blocks many times over.
    QTest::addColumn<QString>("strOrder"); // how new entries come
    QTest::addColumn<int>("intPeak");
    QTest::addColumn<int>("intRemovesInTen"); // removals among ten steps
    QTest::newRow("ascending, appends only") << "ascending" << 7000 << 0;
    QTest::newRow("descending, in front only") << "descending" << 7000 << 0;
    QTest::newRow("random") << "random" << 7000 << 0;
    QTest::newRow("random with removals") << "random" << 7000 << 3;
    QTest::newRow("churn") << "random" << 3000 << 4;
    QTest::newRow("repeated texts") << "repeated" << 6000 << 2;
}

void tst_CSortedListModel::randomRunAcrossBlocksMatchesReference()
{
    QFETCH(QString, strOrder);
    QFETCH(int, intPeak);
    QFETCH(int, intRemovesInTen);
    std::mt19937 objRandom(uint(intPeak + intRemovesInTen));
    const CCollation objCollation;
    CSortedListModel objModel;
    std::vector<QString> lstReference;
    QSignalSpy spyInserted(&objModel, &QAbstractItemModel::rowsInserted);
    QSignalSpy spyRemoved(&objModel, &QAbstractItemModel::rowsRemoved);
    int intAdded = 0;
    const auto nextText = [&] {
        ++intAdded;
        if (strOrder == "ascending")
            return QStringLiteral("C%1").arg(intAdded);
        if (strOrder == "descending")
            return QStringLiteral("C%1").arg(1000000 - intAdded);
        if (strOrder == "repeated")
            return QStringLiteral("r%1").arg(objRandom() % 50);
        static const QStringList lstStems{"C", "c", "É", "e", "Z", "ä"};
        return lstStems[int(objRandom() % lstStems.size())] + QString::number(objRandom() % 100000);
    };

    // Drains at the end, so that every block that split also empties.
    for (int intStep = 0; int(lstReference.size()) < intPeak; ++intStep) {
        if (!lstReference.empty() && int(objRandom() % 10) < intRemovesInTen) {
            const int intRow = int(objRandom() % lstReference.size());
            objModel.RemoveAt(intRow);
            lstReference.erase(lstReference.begin() + intRow);
            QCOMPARE(spyRemoved.takeFirst().mid(1), (QVariantList{intRow, intRow}));
        } else {
            const QString strText = nextText();
            const auto itPlace =
                std::upper_bound(lstReference.begin(), lstReference.end(), strText, objCollation);
            const int intExpected = int(itPlace - lstReference.begin());
            lstReference.insert(itPlace, strText);
            QCOMPARE(objModel.Insert(strText), intExpected);
            QCOMPARE(spyInserted.takeFirst().mid(1), (QVariantList{intExpected, intExpected}));
        }
        QCOMPARE(objModel.Count(), int(lstReference.size()));
        QCOMPARE(objModel.rowCount(), int(lstReference.size()));
        if (intStep % 997 == 0)
            QCOMPARE(entriesOf(objModel), QStringList(lstReference.begin(), lstReference.end()));
    }
    QCOMPARE(entriesOf(objModel), QStringList(lstReference.begin(), lstReference.end()));
    while (!lstReference.empty()) {
        const int intRow = int(objRandom() % lstReference.size());
        QCOMPARE(objModel.At(intRow), lstReference[size_t(intRow)]);
        objModel.RemoveAt(intRow);
        lstReference.erase(lstReference.begin() + intRow);
        if (lstReference.size() % 1009 == 0)
            QCOMPARE(entriesOf(objModel), QStringList(lstReference.begin(), lstReference.end()));
    }
    QCOMPARE(objModel.Count(), 0);
    QCOMPARE(objModel.Insert("again"), 0);
    QCOMPARE(entriesOf(objModel), QStringList{"again"});
}

void tst_CSortedListModel::findPrefix_data()
{
    QTest::addColumn<QStringList>("lstEntries");
    QTest::addColumn<QString>("strPrefix");
    QTest::addColumn<QString>("strFound"); // null: no entry starts so
    const QStringList lstNames{"Adams",  "Baker",  "Bäcker", "Éclair", "eclipse", "Edwards",
                               "Müller", "Muller", "Zola",   "Zoë",    "zz top"};
    QTest::newRow("start of list") << lstNames << "ad"
                                   << "Adams";
    QTest::newRow("middle of list") << lstNames << "Edw"
                                    << "Edwards";
    QTest::newRow("end of list") << lstNames << "zz"
                                 << "zz top";
    QTest::newRow("whole entry") << lstNames << "zz top"
                                 << "zz top";
    QTest::newRow("first of several") << lstNames << "b"
                                      << "Bäcker";
    QTest::newRow("upper case typed") << lstNames << "ZO"
                                      << "Zoë";
    QTest::newRow("accent typed, none in entry") << lstNames << "éd"
                                                 << "Edwards";
    QTest::newRow("no accent typed, accent in entry") << lstNames << "ecl"
                                                      << "Éclair";
    QTest::newRow("umlaut ignored") << lstNames << "mu"
                                    << "Muller";
    QTest::newRow("past the end") << lstNames << "zzz" << QString();
    QTest::newRow("before the start") << lstNames << "Aa" << QString();
    QTest::newRow("between entries") << lstNames << "Ca" << QString();
    QTest::newRow("longer than every entry") << lstNames << "Adamsson" << QString();

    const QStringList lstIds{"C1", "C2", "C9", "C10", "C11", "C20", "C100", "C1000", "C12x"};
    QTest::newRow("number: shortest first") << lstIds << "C1"
                                            << "C1";
    QTest::newRow("number: C9 before C10") << QStringList{"C9", "C10", "C11"} << "C1"
                                           << "C10";
    QTest::newRow("number: two digits") << lstIds << "C10"
                                        << "C10";
    QTest::newRow("number: only longer ones") << lstIds << "C12"
                                              << "C12x";
    QTest::newRow("number then letter") << lstIds << "c12X"
                                        << "C12x";
    QTest::newRow("number: three digits") << lstIds << "C100"
                                          << "C100";
    QTest::newRow("number: four digits") << lstIds << "C1000"
                                         << "C1000";
    QTest::newRow("number: none that long") << lstIds << "C10000" << QString();
    QTest::newRow("number: none with those digits") << lstIds << "C3" << QString();
    QTest::newRow("number: further on") << QStringList{"C2", "C16", "C20", "C150"} << "C15"
                                        << "C150";
    QTest::newRow("number: far further on") << QStringList{"C1", "C6", "C5000000"} << "C5"
                                            << "C5000000";
    QTest::newRow("number: leading zeros")
        << QStringList{"C0000001", "C0000010", "C0049999", "C0050000", "C0999999"} << "C005"
        << "C0050000";
    QTest::newRow("number: zero") << QStringList{"C0000001", "C0000010", "C0999999"} << "C0"
                                  << "C0000001";
    QTest::newRow("number alone") << QStringList{"9", "10", "11"} << "1"
                                  << "10";
    QTest::newRow("empty list") << QStringList() << "a" << QString();
}

void tst_CSortedListModel::findPrefix()
{
    QFETCH(QStringList, lstEntries);
    QFETCH(QString, strPrefix);
    QFETCH(QString, strFound);
    CSortedListModel objModel;
    fill(objModel, lstEntries);
    const int intRow = objModel.FindPrefix(strPrefix);
    QCOMPARE(intRow < 0 ? QString() : objModel.At(intRow), strFound);
}

void tst_CSortedListModel::findPrefixAgreesWithScan_data()
{
    QTest::addColumn<int>("intSeed");
    QTest::newRow("letters and numbers") << 1;
    QTest::newRow("other letters and numbers") << 2;
}

void tst_CSortedListModel::findPrefixAgreesWithScan()
{
    // Against a scan of every row: entries of mixed case, accents and
    // numbers of many lengths, across several blocks; prefixes cut from
    // entries, and edited ones that may match nothing.
    QFETCH(int, intSeed);
    std::mt19937 objRandom{uint(intSeed)};
    const CCollation objCollation;
    static const QStringList lstParts{"a", "A", "á", "b", "c", "C", "é", "e", "-", " ", "z"};
    const auto randomText = [&] {
        QString strText;
        const int intParts = 1 + int(objRandom() % 3);
        for (int i = 0; i < intParts; ++i) {
            strText += lstParts[int(objRandom() % lstParts.size())];
            if (objRandom() % 2)
                strText += QString::number(1 + objRandom() % (objRandom() % 2 ? 30 : 30000));
        }
        return strText;
    };
    CSortedListModel objModel;
    for (int i = 0; i < 4500; ++i)
        objModel.Insert(randomText());
    for (int intTry = 0; intTry < 400; ++intTry) {
        QString strPrefix = objModel.At(int(objRandom() % unsigned(objModel.Count())));
        strPrefix.truncate(1 + qsizetype(objRandom() % unsigned(strPrefix.size())));
        if (intTry % 3 == 0)
            strPrefix += lstParts[int(objRandom() % lstParts.size())];
        int intExpected = -1;
        for (int intRow = 0; intRow < objModel.Count() && intExpected < 0; ++intRow)
            if (objCollation.StartsWith(objModel.At(intRow), strPrefix))
                intExpected = intRow;
        QVERIFY2(objModel.FindPrefix(strPrefix) == intExpected, qPrintable(strPrefix));
    }
}

QTEST_GUILESS_MAIN(tst_CSortedListModel)
#include "tst_CSortedListModel.moc"
