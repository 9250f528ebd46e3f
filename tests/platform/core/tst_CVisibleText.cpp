#include <CVisibleText.h>

#include <QTest>

class tst_CVisibleText : public QObject
{
    Q_OBJECT

private slots:
    void form_data();
    void form();
    void quoted_data();
    void quoted();
};

void tst_CVisibleText::form_data()
{
    QTest::addColumn<QString>("strText");
    QTest::addColumn<QString>("strForm");
    QTest::newRow("plain") << "C1 abc"
                           << "C1 abc";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blank") << " \t\u00a0\u3000\u200b\u2028"
                           << "";
    QTest::newRow("trimmed") << "  C1\t"
                             << "C1";
    QTest::newRow("inner runs as one space") << "A \t\u00a0\u2003B\u3000C"
                                             << "A B C";
    QTest::newRow("line breaks") << "A\r\nB\u2029"
                                 << "A B";
    QTest::newRow("format characters go")
        << QStringView(u"\ufeffA\u200bB\u200c\u200d\u2060\u00ad\u202e").toString() << "AB";
    QTest::newRow("zero-width inside a space run") << "A \u200b B"
                                                   << "A B";
    QTest::newRow("composed") << "cafe\u0301"
                              << "café";
    QTest::newRow("composed across a zero-width space") << "e\u200b\u0301"
                                                        << "é";
    QTest::newRow("already composed") << "Zoë Łukasiewicz"
                                      << "Zoë Łukasiewicz";
    QTest::newRow("letter case kept") << "aBc"
                                      << "aBc";
    QTest::newRow("compatibility forms kept") << "ﬁＡ"
                                              << "ﬁＡ";
    QTest::newRow("controls other than space kept") << "A\u0001B\u007f"
                                                    << "A\u0001B\u007f";
    // The edges of plain printable ASCII, which is its own form at a glance.
    QTest::newRow("ASCII doubled space") << "A  B"
                                         << "A B";
    QTest::newRow("ASCII trailing space") << "A "
                                          << "A";
    QTest::newRow("C1 control U+0080 kept") << "A\u0080"
                                            << "A\u0080";
    QTest::newRow("no-break space alone") << "A\u00a0B"
                                          << "A B";
    QTest::newRow("surrogate pairs")
        << QString::fromUcs4(U" \U0001F600\U000E0001x") << QString::fromUcs4(U"\U0001F600x");
}

void tst_CVisibleText::form()
{
    QFETCH(QString, strText);
    QFETCH(QString, strForm);
    QCOMPARE(CVisibleText::Form(strText), strForm);
    QCOMPARE(CVisibleText::IsOwnForm(strText), strText == strForm);
    QVERIFY(CVisibleText::IsOwnForm(strForm));
}

void tst_CVisibleText::quoted_data()
{
    QTest::addColumn<QString>("strText");
    QTest::addColumn<QString>("strQuoted");
    QTest::newRow("plain") << "C1 abc %1"
                           << "C1 abc %1";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("controls as pictures") << QString::fromUtf16(u"\0\t\n\r\x1b\x7f", 6) << "␀␉␊␍␛␡";
    QTest::newRow("unusual spaces marked") << "a\u00a0b\u3000c\u2028"
                                           << "a<U+00A0>b<U+3000>c<U+2028>";
    QTest::newRow("format characters marked") << "\u200bA\ufeff\u202e"
                                              << "<U+200B>A<U+FEFF><U+202E>";
    QTest::newRow("C1 control marked") << "a\u0085"
                                       << "a<U+0085>";
    QTest::newRow("tag character marked") << QString::fromUcs4(U"a\U000E0041") << "a<U+E0041>";
    QTest::newRow("accents kept") << "cafe\u0301 café"
                                  << "cafe\u0301 café";
    QTest::newRow("64 characters whole") << QString(64, u'z') << QString(64, u'z');
    QTest::newRow("65 shortened") << "a" + QString(63, u'z') + "b"
                                  << "a" + QString(27, u'z') + "…" + QString(27, u'z') + "b";
    QTest::newRow("long shortened") << "<" + QString(1'000'000, u'-') + ">"
                                    << "<" + QString(27, u'-') + "…" + QString(27, u'-') + ">";
    QTest::newRow("marks in the kept ends")
        << "\t" + QString(100, u'y') + "\u200b"
        << "␉" + QString(27, u'y') + "…" + QString(27, u'y') + "<U+200B>";
    QTest::newRow("no half characters at the cut")
        << QString(27, u'a') + QString::fromUcs4(U"\U0001F600") + QString(50, u'b') +
               QString::fromUcs4(U"\U0001F600") + QString(27, u'c')
        << QString(27, u'a') + "…" + QString(27, u'c');
    QTest::newRow("no accent on the ellipsis")
        << QString(60, u'a') + "\u0301\u0301" + QString(26, u'c')
        << QString(28, u'a') + "…" + QString(26, u'c');
}

void tst_CVisibleText::quoted()
{
    QFETCH(QString, strText);
    QFETCH(QString, strQuoted);
    QCOMPARE(CVisibleText::Quoted(strText), strQuoted);
}

QTEST_GUILESS_MAIN(tst_CVisibleText)
#include "tst_CVisibleText.moc"
