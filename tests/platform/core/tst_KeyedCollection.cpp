#include <CError.h>
#include <KeyedCollection.h>

#include "FailureTesting.h"

#include <QTest>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {
using Collection = KeyedCollection<int>;

KeyedCollectionMessages messages()
{
    return {"repeated %1", "missing %1", "empty"};
}

} // namespace

class tst_KeyedCollection : public QObject
{
    Q_OBJECT

private slots:
    void keysAreExactAndFailuresWorded_data();
    void keysAreExactAndFailuresWorded();
    void randomRunAcrossGrowthMatchesReference_data();
    void randomRunAcrossGrowthMatchesReference();
    void releasesEachItemOnceWhenItGoes_data();
    void releasesEachItemOnceWhenItGoes();
};

void tst_KeyedCollection::keysAreExactAndFailuresWorded_data()
{
    QTest::addColumn<int>("intOperation"); // 0 add, 1 remove, 2 item
    QTest::addColumn<QString>("strKey");
    QTest::addColumn<QString>("strFailure"); // null: succeeds
    QTest::newRow("add repeated") << 0 << "Key"
                                  << "repeated Key";
    QTest::newRow("add other case") << 0 << "KEY" << QString();
    QTest::newRow("add composed accent") << 0 << "K\u00e9y" << QString();
    QTest::newRow("add empty") << 0 << ""
                               << "empty";
    QTest::newRow("remove other case") << 1 << "key"
                                       << "missing key";
    QTest::newRow("remove decomposed accent") << 1 << "Ke\u0301y"
                                              << "missing Ke\u0301y";
    QTest::newRow("remove trailing space") << 1 << "Key "
                                           << "missing Key ";
    QTest::newRow("item other case") << 2 << "kEY"
                                     << "missing kEY";
    QTest::newRow("item empty") << 2 << ""
                                << "missing ";
}

void tst_KeyedCollection::keysAreExactAndFailuresWorded()
{
    QFETCH(int, intOperation);
    QFETCH(QString, strKey);
    QFETCH(QString, strFailure);
    Collection colItems(messages());
    colItems.add(1, "Key");
    colItems.add(2, "Ke\u00e9y");
    const QString strResult = failureOf([&] {
        if (intOperation == 0)
            colItems.add(3, strKey);
        else if (intOperation == 1)
            colItems.remove(strKey);
        else
            colItems.item(strKey);
    });
    QCOMPARE(strResult, strFailure);
    const int intAdded = intOperation == 0 && strFailure.isNull() ? 1 : 0;
    QCOMPARE(colItems.count(), 2 + intAdded);
    QCOMPARE(colItems.item("Key"), 1);
    if (intAdded)
        QCOMPARE(colItems.item(strKey), 3);
}

void tst_KeyedCollection::randomRunAcrossGrowthMatchesReference_data()
{
    // Shares of adds and removes out of 10 (lookups take the rest), the size
    // to reach, and whether to remove everything after. The table adds and
    // splits two buckets with each add once it holds half as many items as
    // buckets, in rounds that double it,
    // so these runs cross up to a dozen rounds and many segments of buckets,
    // with lookups, removals and failures in the middle of each.
    QTest::addColumn<int>("intAdds");
    QTest::addColumn<int>("intRemoves");
    QTest::addColumn<int>("intPeak");
    QTest::addColumn<bool>("bDrain");
    QTest::newRow("adds only") << 10 << 0 << 40000 << false;
    QTest::newRow("mostly adds") << 6 << 2 << 40000 << false;
    QTest::newRow("churn near a growth step") << 4 << 4 << 2100 << false;
    QTest::newRow("grow then drain") << 7 << 2 << 20000 << true;
}

void tst_KeyedCollection::randomRunAcrossGrowthMatchesReference()
{
    QFETCH(int, intAdds);
    QFETCH(int, intRemoves);
    QFETCH(int, intPeak);
    QFETCH(bool, bDrain);
    std::mt19937 objRandom(uint(intPeak * 31 + intAdds));
    Collection colItems(messages());
    // The reference: each key's item, and the keys by item, which counts up
    // with every add and so gives the order of addition.
    std::map<QString, int> mapItems;
    std::map<int, QString> mapKeys;
    int intNext = 0;
    // Keys from a space a few times the peak, so adds also repeat keys and
    // removals also miss; letter case makes different keys.
    const auto randomKey = [&] {
        const unsigned uNumber = objRandom() % unsigned(3 * intPeak);
        return (uNumber % 2 ? QStringLiteral("c%1") : QStringLiteral("C%1")).arg(uNumber / 2);
    };
    const auto checkAll = [&] {
        QCOMPARE(colItems.count(), int(mapItems.size()));
        std::vector<int> lstItems(colItems.begin(), colItems.end());
        std::vector<int> lstExpected;
        for (const auto& objEntry : mapKeys)
            lstExpected.push_back(objEntry.first);
        QVERIFY(lstItems == lstExpected);
        for (const auto& [strKey, intItem] : mapItems)
            QCOMPARE(colItems.item(strKey), intItem);
    };

    bool bDraining = false;
    std::vector<QString> lstToDrain;
    for (int intStep = 0;; ++intStep) {
        if (!bDraining && int(mapItems.size()) >= intPeak) {
            if (!bDrain)
                break;
            bDraining = true;
            for (const auto& objEntry : mapItems)
                lstToDrain.push_back(objEntry.first);
            std::shuffle(lstToDrain.begin(), lstToDrain.end(), objRandom);
        }
        if (bDraining && mapItems.empty())
            break;
        const int intChoice = int(objRandom() % 10);
        QString strKey = randomKey();
        if (bDraining && intChoice < 5 && !lstToDrain.empty()) {
            strKey = lstToDrain.back();
            lstToDrain.pop_back();
        }
        const auto itPresent = mapItems.find(strKey);
        const bool bPresent = itPresent != mapItems.end();
        if (!bDraining && intChoice < intAdds) {
            const QString strFailure = failureOf([&] { colItems.add(intNext, strKey); });
            QCOMPARE(strFailure, bPresent ? QStringLiteral("repeated ") + strKey : QString());
            if (!bPresent) {
                mapItems[strKey] = intNext;
                mapKeys[intNext++] = strKey;
            }
        } else if (bDraining || intChoice < intAdds + intRemoves) {
            const QString strFailure = failureOf([&] { colItems.remove(strKey); });
            QCOMPARE(strFailure, bPresent ? QString() : QStringLiteral("missing ") + strKey);
            if (bPresent) {
                mapKeys.erase(itPresent->second);
                mapItems.erase(itPresent);
            }
        } else {
            int intItem = -1;
            const QString strFailure = failureOf([&] { intItem = colItems.item(strKey); });
            QCOMPARE(strFailure, bPresent ? QString() : QStringLiteral("missing ") + strKey);
            if (bPresent)
                QCOMPARE(intItem, itPresent->second);
        }
        QCOMPARE(colItems.count(), int(mapItems.size()));
        // Everything is checked as each round of splits begins, and now and
        // then besides.
        const size_t uCount = mapItems.size();
        if ((uCount > 16 && ((uCount - 1) & (uCount - 2)) == 0) || intStep % 4999 == 0)
            checkAll();
        if (QTest::currentTestFailed())
            return;
    }
    checkAll();
}

void tst_KeyedCollection::releasesEachItemOnceWhenItGoes_data()
{
    QTest::addColumn<int>("intCount");
    QTest::addColumn<int>("intRemoveEvery"); // 0: none
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("one") << 1 << 0;
    QTest::newRow("many segments") << 20000 << 0;
    QTest::newRow("many segments, some removed") << 20000 << 3;
    QTest::newRow("all removed") << 500 << 1;
}

void tst_KeyedCollection::releasesEachItemOnceWhenItGoes()
{
    QFETCH(int, intCount);
    QFETCH(int, intRemoveEvery);
    std::vector<std::shared_ptr<int>> lstItems;
    {
        KeyedCollection<std::shared_ptr<int>> colItems(messages());
        for (int i = 0; i < intCount; ++i) {
            lstItems.push_back(std::make_shared<int>(i));
            colItems.add(lstItems.back(), QString::number(i));
        }
        for (int i = 0; intRemoveEvery > 0 && i < intCount; i += intRemoveEvery) {
            colItems.remove(QString::number(i));
            QCOMPARE(lstItems[size_t(i)].use_count(), 1);
        }
        for (int i = 0; i < intCount; ++i)
            QCOMPARE(lstItems[size_t(i)].use_count(),
                     intRemoveEvery > 0 && i % intRemoveEvery == 0 ? 1 : 2);
    }
    for (const auto& pItem : lstItems)
        QCOMPARE(pItem.use_count(), 1);
}

QTEST_GUILESS_MAIN(tst_KeyedCollection)
#include "tst_KeyedCollection.moc"
