#include <CCustomers.h>
#include <CError.h>

#include <QTest>

#include <map>
#include <random>
#include <vector>

namespace {
using Fields = QStringList;

Fields fieldsOf(const CCustomer& objCustomer)
{
    return {objCustomer.CustomerID(), objCustomer.LastName(), objCustomer.FirstName(),
            objCustomer.Address(),    objCustomer.City(),     objCustomer.State(),
            objCustomer.ZipCode()};
}

void add(CCustomers& objStore, const Fields& lstFields)
{
    objStore.Add(lstFields[0], lstFields[1], lstFields[2], lstFields[3], lstFields[4], lstFields[5],
                 lstFields[6]);
}

QStringList keysOf(const CCustomers& objStore)
{
    QStringList lstKeys;
    for (const auto& objCustomer : objStore)
        lstKeys << objCustomer->CustomerID();
    return lstKeys;
}

// The message of the failure fnCall raises, or a null string if it succeeds.
template <class F> QString failureOf(F fnCall)
{
    try {
        fnCall();
    } catch (const CError& objError) {
        return objError.Message();
    }
    return {};
}
} // namespace

class tst_CCustomers : public QObject
{
    Q_OBJECT

private slots:
    void newStoreIsEmpty();
    void addedFieldsReadBack_data();
    void addedFieldsReadBack();
    void enumerationKeepsOrderOfAddition();
    void failuresLeaveStoreUnchanged_data();
    void failuresLeaveStoreUnchanged();
    void itemIsSharedAndStays();
    void randomOperationsMatchReference();
};

void tst_CCustomers::newStoreIsEmpty()
{
    CCustomers objStore;
    QCOMPARE(objStore.Count(), 0);
    QVERIFY(objStore.NewEnum().empty());
}

void tst_CCustomers::addedFieldsReadBack_data()
{
    QTest::addColumn<Fields>("lstFields");
    QTest::newRow("plain") << Fields{"C1", "Smith", "Ann", "1 High St", "Leeds", "WY", "LS1 4AB"};
    QTest::newRow("empty fields") << Fields{"C2",      QString(), QString(), QString(),
                                            QString(), QString(), QString()};
    QTest::newRow("spaces kept") << Fields{" C3 ", "  ", "\t", "a\nb", "x ", " y", "00501"};
    QTest::newRow("unicode") << Fields{"Ærø-7",
                                       "Łukasiewicz",
                                       "Zoë",
                                       "東京都港区",
                                       "Αθήνα",
                                       "Québec",
                                       QString::fromUtf8("😀\u200d\U0001F467")};
    QTest::newRow("markup as text")
        << Fields{"<b>x</b>", "<img src=a>", "&amp;", "%1 %2", "\\", "\"", "'"};
    QTest::newRow("long") << Fields{QString(100000, u'k'), QString(70000, u'L'), "f", "a", "c", "s",
                                    QString(40000, u'9')};
}

void tst_CCustomers::addedFieldsReadBack()
{
    QFETCH(Fields, lstFields);
    CCustomers objStore;
    add(objStore, {"other", "a", "b", "c", "d", "e", "f"});
    add(objStore, lstFields);
    QCOMPARE(objStore.Count(), 2);
    QCOMPARE(fieldsOf(*objStore.Item(lstFields[0])), lstFields);
}

void tst_CCustomers::enumerationKeepsOrderOfAddition()
{
    CCustomers objStore;
    const QStringList lstKeys{"m", "B", "a", "C10", "C9", "b", "ä", "A"};
    for (const QString& strKey : lstKeys)
        add(objStore, {strKey, "", "", "", "", "", ""});
    QCOMPARE(keysOf(objStore), lstKeys);
    QCOMPARE(objStore.Count(), lstKeys.size());

    // Removing from the front, the middle and the back keeps the rest in order.
    objStore.Remove("m");
    objStore.Remove("C9");
    objStore.Remove("A");
    QCOMPARE(keysOf(objStore), (QStringList{"B", "a", "C10", "b", "ä"}));
    QCOMPARE(failureOf([&] { objStore.Item("C9"); }),
             QString("There is no customer with ID \"C9\"."));

    // A removed key may be added again, and goes to the end.
    add(objStore, {"m", "", "", "", "", "", ""});
    QCOMPARE(keysOf(objStore), (QStringList{"B", "a", "C10", "b", "ä", "m"}));
}

void tst_CCustomers::failuresLeaveStoreUnchanged_data()
{
    QTest::addColumn<int>("intOperation"); // 0 add, 1 remove, 2 item
    QTest::addColumn<QString>("strKey");
    QTest::addColumn<QString>("strMessage");
    QTest::newRow("repeated ID") << 0 << "C1"
                                 << "There is already a customer with ID \"C1\".";
    QTest::newRow("empty ID") << 0 << ""
                              << "Please enter a Customer ID.";
    QTest::newRow("remove missing") << 1 << "C3"
                                    << "There is no customer with ID \"C3\".";
    QTest::newRow("remove differs in case") << 1 << "c1"
                                            << "There is no customer with ID \"c1\".";
    QTest::newRow("item missing") << 2 << "C1 "
                                  << "There is no customer with ID \"C1 \".";
    QTest::newRow("item empty") << 2 << ""
                                << "There is no customer with ID \"\".";
    QTest::newRow("ID with a placeholder") << 2 << "%1%2"
                                           << "There is no customer with ID \"%1%2\".";
}

void tst_CCustomers::failuresLeaveStoreUnchanged()
{
    QFETCH(int, intOperation);
    QFETCH(QString, strKey);
    QFETCH(QString, strMessage);
    CCustomers objStore;
    const Fields lstFirst{"C1", "Smith", "Ann", "1 High St", "Leeds", "WY", "LS1"};
    const Fields lstSecond{"C2", "Jones", "Bo", "2 Low Rd", "York", "NY", "YO1"};
    add(objStore, lstFirst);
    add(objStore, lstSecond);

    const QString strFailure = failureOf([&] {
        if (intOperation == 0)
            add(objStore, {strKey, "New", "Record", "", "", "", ""});
        else if (intOperation == 1)
            objStore.Remove(strKey);
        else
            objStore.Item(strKey);
    });
    QCOMPARE(strFailure, strMessage);
    QCOMPARE(objStore.Count(), 2);
    QCOMPARE(keysOf(objStore), (QStringList{"C1", "C2"}));
    QCOMPARE(fieldsOf(*objStore.Item("C1")), lstFirst);
    QCOMPARE(fieldsOf(*objStore.Item("C2")), lstSecond);
}

void tst_CCustomers::itemIsSharedAndStays()
{
    std::weak_ptr<CCustomer> pWeak;
    {
        CCustomers objStore;
        add(objStore, {"C1", "Smith", "", "", "", "", ""});
        add(objStore, {"c1", "Lower", "", "", "", "", ""});
        {
            const auto objCustomer = objStore.Item("C1");
            pWeak = objCustomer;
            QCOMPARE(objCustomer->LastName(), QString("Smith"));
            QCOMPARE(objStore.Item("c1")->LastName(), QString("Lower"));
        }
        QVERIFY(!pWeak.expired());
        QCOMPARE(objStore.Count(), 2);
        objStore.Remove("C1");
        QVERIFY(pWeak.expired());
        add(objStore, {"C1", "Again", "", "", "", "", ""});
        pWeak = objStore.Item("C1");
    }
    // Destroying the store releases the records it held.
    QVERIFY(pWeak.expired());
}

void tst_CCustomers::randomOperationsMatchReference()
{
    // A long random run against a plain reference: a map for the contents,
    // a vector for the order of addition.
    std::mt19937 objRandom(20261208);
    CCustomers objStore;
    std::map<QString, QString> mapReference;
    std::vector<QString> lstOrder;
    const auto randomKey = [&] {
        static const QStringList lstAlphabet{"a", "A", "b", "ß", "é", "e\u0301", "1", " "};
        QString strKey;
        const int intLength = int(objRandom() % 4);
        for (int i = 0; i < intLength; ++i)
            strKey += lstAlphabet[int(objRandom() % lstAlphabet.size())];
        return strKey;
    };

    for (int intStep = 0; intStep < 20000; ++intStep) {
        const QString strKey = randomKey();
        const QString strName = QString::number(intStep);
        const bool bPresent = mapReference.contains(strKey);
        switch (objRandom() % 3) {
        case 0: {
            const QString strFailure = failureOf([&] {
                add(objStore, {strKey, strName, "", "", "", "", ""});
            });
            QCOMPARE(strFailure.isNull(), !bPresent && !strKey.isEmpty());
            if (strFailure.isNull()) {
                mapReference[strKey] = strName;
                lstOrder.push_back(strKey);
            }
            break;
        }
        case 1: {
            const QString strFailure = failureOf([&] { objStore.Remove(strKey); });
            QCOMPARE(strFailure.isNull(), bPresent);
            if (bPresent) {
                mapReference.erase(strKey);
                std::erase(lstOrder, strKey);
            }
            break;
        }
        default: {
            QString strLastName;
            const QString strFailure =
                failureOf([&] { strLastName = objStore.Item(strKey)->LastName(); });
            QCOMPARE(strFailure.isNull(), bPresent);
            if (bPresent)
                QCOMPARE(strLastName, mapReference[strKey]);
            break;
        }
        }
        QCOMPARE(objStore.Count(), int(mapReference.size()));
        if (intStep % 50 == 0)
            QCOMPARE(keysOf(objStore), QStringList(lstOrder.begin(), lstOrder.end()));
    }
    QCOMPARE(keysOf(objStore), QStringList(lstOrder.begin(), lstOrder.end()));
}

QTEST_GUILESS_MAIN(tst_CCustomers)
#include "tst_CCustomers.moc"
