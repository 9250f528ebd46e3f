#include <CCustomers.h>
#include <CError.h>
#include <CVisibleText.h>

#include "FailureTesting.h"

#include <QTest>

#include <algorithm>
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
    void refusesBlankId_data();
    void refusesBlankId();
    void refusesLookAlikeId_data();
    void refusesLookAlikeId();
    void keepsVisiblyDifferentIds_data();
    void keepsVisiblyDifferentIds();
    void removedIdNoLongerShadows();
    void longIdIsShortenedInMessages();
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

void tst_CCustomers::refusesBlankId_data()
{
    QTest::addColumn<QString>("strId");
    QTest::newRow("empty") << QString();
    QTest::newRow("one space") << " ";
    QTest::newRow("spaces") << "   ";
    QTest::newRow("tab") << "\t";
    QTest::newRow("line break") << "\n\r\n";
    QTest::newRow("no-break space") << "\u00a0";
    QTest::newRow("ideographic space") << "\u3000\u3000";
    QTest::newRow("narrow no-break space") << "\u202f";
    QTest::newRow("zero-width space") << "\u200b";
    QTest::newRow("zero-width joiner") << "\u200d";
    QTest::newRow("byte order mark") << QStringView(u"\ufeff").toString();
    QTest::newRow("word joiner and soft hyphen") << "\u2060\u00ad";
    QTest::newRow("tag character") << QString::fromUcs4(U"\U000E0041");
    QTest::newRow("mixed") << " \t\u00a0\u200b\u3000 ";
}

void tst_CCustomers::refusesBlankId()
{
    QFETCH(QString, strId);
    CCustomers objStore;
    add(objStore, {"C1", "Smith", "", "", "", "", ""});
    QCOMPARE(failureOf([&] {
                 add(objStore, {strId, "Blank", "", "", "", "", ""});
             }),
             QString("Please enter a Customer ID."));
    QCOMPARE(keysOf(objStore), QStringList{"C1"});
}

void tst_CCustomers::refusesLookAlikeId_data()
{
    // The message quotes both IDs with their invisible characters marked.
    QTest::addColumn<QString>("strStored");
    QTest::addColumn<QString>("strTyped");
    QTest::addColumn<QString>("strMessage");
    const auto row = [](const char* pszTag, const QString& strStored, const QString& strTyped,
                        const QString& strStoredShown, const QString& strTypedShown) {
        QTest::newRow(pszTag) << strStored << strTyped
                              << QString("There is already a customer with ID \"%1\", which looks "
                                         "the same as \"%2\".")
                                     .arg(strStoredShown, strTypedShown);
    };
    row("trailing space", "C1", "C1 ", "C1", "C1 ");
    row("leading space", "C1", " C1", "C1", " C1");
    row("stored with trailing space", "C1 ", "C1", "C1 ", "C1");
    row("trailing tab", "C1", "C1\t", "C1", "C1\u2409");
    row("two spaces for one", "Ann Lee", "Ann  Lee", "Ann Lee", "Ann  Lee");
    row("no-break space for a space", "Ann Lee", "Ann\u00a0Lee", "Ann Lee", "Ann<U+00A0>Lee");
    row("space for a no-break space", "Ann\u00a0Lee", "Ann Lee", "Ann<U+00A0>Lee", "Ann Lee");
    row("ideographic space", "山田 太郎", "山田\u3000太郎", "山田 太郎", "山田<U+3000>太郎");
    row("zero-width space inside", "C12", "C1\u200b2", "C12", "C1<U+200B>2");
    row("zero-width joiner at the end", "C12", "C12\u200d", "C12", "C12<U+200D>");
    row("byte order mark in front", "C12", QStringView(u"\ufeffC12").toString(), "C12",
        "<U+FEFF>C12");
    row("both differ from each other", "C1 ", "C1\u200b", "C1 ", "C1<U+200B>");
    row("decomposed for precomposed", "café", "cafe\u0301", "café", "cafe\u0301");
    row("precomposed for decomposed", "cafe\u0301", "café", "cafe\u0301", "café");
    row("decomposed with a space", "café 1", "cafe\u0301\u00a01", "café 1", "cafe\u0301<U+00A0>1");
    row("hangul jamo", "\ud55c", "\u1112\u1161\u11ab", "\ud55c", "\u1112\u1161\u11ab");
}

void tst_CCustomers::refusesLookAlikeId()
{
    QFETCH(QString, strStored);
    QFETCH(QString, strTyped);
    QFETCH(QString, strMessage);
    CCustomers objStore;
    add(objStore, {"first", "", "", "", "", "", ""});
    add(objStore, {strStored, "Stored", "", "", "", "", ""});
    add(objStore, {"last", "", "", "", "", "", ""});

    QCOMPARE(failureOf([&] {
                 add(objStore, {strTyped, "Typed", "", "", "", "", ""});
             }),
             strMessage);
    QCOMPARE(keysOf(objStore), (QStringList{"first", strStored, "last"}));
    QCOMPARE(objStore.Item(strStored)->LastName(), QString("Stored"));
    // The same ID again is refused as repeated, not as a look-alike of itself.
    QCOMPARE(failureOf([&] {
                 add(objStore, {strStored, "Again", "", "", "", "", ""});
             }),
             QString("There is already a customer with ID \"%1\".")
                 .arg(CVisibleText::Quoted(strStored)));
}

void tst_CCustomers::keepsVisiblyDifferentIds_data()
{
    QTest::addColumn<QString>("strFirst");
    QTest::addColumn<QString>("strSecond");
    QTest::newRow("letter case") << "c1"
                                 << "C1";
    QTest::newRow("accented letter case") << "É1"
                                          << "é1";
    QTest::newRow("space inside or not") << "C 1"
                                         << "C1";
    QTest::newRow("punctuation") << "C1"
                                 << "C1.";
    QTest::newRow("accent or not") << "cafe"
                                   << "café";
    QTest::newRow("different accents") << "cafè"
                                       << "café";
    QTest::newRow("ligature") << "ﬁle"
                              << "file";
    QTest::newRow("full-width letters") << "ＡＢ"
                                        << "AB";
    QTest::newRow("digit and letter") << "C0"
                                      << "CO";
    QTest::newRow("sharp s") << "ß"
                             << "ss";
    QTest::newRow("emoji") << "😀"
                           << "😃";
}

void tst_CCustomers::keepsVisiblyDifferentIds()
{
    QFETCH(QString, strFirst);
    QFETCH(QString, strSecond);
    CCustomers objStore;
    add(objStore, {strFirst, "First", "", "", "", "", ""});
    add(objStore, {strSecond, "Second", "", "", "", "", ""});
    QCOMPARE(keysOf(objStore), (QStringList{strFirst, strSecond}));
    QCOMPARE(objStore.Item(strFirst)->LastName(), QString("First"));
    QCOMPARE(objStore.Item(strSecond)->LastName(), QString("Second"));
}

void tst_CCustomers::removedIdNoLongerShadows()
{
    CCustomers objStore;
    add(objStore, {"C1 ", "Spaced", "", "", "", "", ""});
    add(objStore, {"cafe\u0301", "Decomposed", "", "", "", "", ""});
    QVERIFY(!failureOf([&] { add(objStore, {"C1", "", "", "", "", "", ""}); }).isNull());
    objStore.Remove("C1 ");
    add(objStore, {"C1", "Plain", "", "", "", "", ""});
    // Now the plain ID is the one the others look like.
    QCOMPARE(failureOf([&] {
                 add(objStore, {"C1\u00a0", "", "", "", "", "", ""});
             }),
             QString("There is already a customer with ID \"C1\", which looks the same as "
                     "\"C1<U+00A0>\"."));
    objStore.Remove("C1");
    add(objStore, {"C1\u00a0", "No-break", "", "", "", "", ""});
    objStore.Remove("cafe\u0301");
    add(objStore, {"café", "Precomposed", "", "", "", "", ""});
    QCOMPARE(keysOf(objStore), (QStringList{"C1\u00a0", "café"}));
    // A failed removal changes nothing.
    QVERIFY(!failureOf([&] { objStore.Remove("C1 "); }).isNull());
    QVERIFY(!failureOf([&] { add(objStore, {"C1", "", "", "", "", "", ""}); }).isNull());
}

void tst_CCustomers::longIdIsShortenedInMessages()
{
    CCustomers objStore;
    const QString strLong = "BEGIN" + QString(5'000'000, u'x') + "END";
    add(objStore, {strLong, "", "", "", "", "", ""});
    const QString strHead = "BEGIN" + QString(23, u'x') + "…";
    QCOMPARE(failureOf([&] {
                 add(objStore, {strLong, "", "", "", "", "", ""});
             }),
             "There is already a customer with ID \"" + strHead + QString(25, u'x') + "END\".");
    QCOMPARE(failureOf([&] { objStore.Item(strLong + "?"); }),
             "There is no customer with ID \"" + strHead + QString(24, u'x') + "END?\".");
    QCOMPARE(failureOf([&] {
                 add(objStore, {strLong + " ", "", "", "", "", "", ""});
             }),
             "There is already a customer with ID \"" + strHead + QString(25, u'x') +
                 "END\", which looks the same as \"" + strHead + QString(24, u'x') + "END \".");
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
        static const QStringList lstAlphabet{"a",       "A", "b", "ß",      "é",
                                             "e\u0301", "1", " ", "\u00a0", "\u200b"};
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
            const QString strForm = CVisibleText::Form(strKey);
            const bool bLooksStored =
                std::any_of(mapReference.begin(), mapReference.end(), [&](const auto& objEntry) {
                    return CVisibleText::Form(objEntry.first) == strForm;
                });
            QCOMPARE(strFailure.isNull(), !bLooksStored && !strForm.isEmpty());
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
