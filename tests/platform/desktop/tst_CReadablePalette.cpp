#include <CDesktop.h>
#include <CReadablePalette.h>

#include <QApplication>
#include <QTest>

namespace {
// What WCAG asks: text 4.5:1 against what is behind it, 3:1 for what marks
// out a control.
constexpr double Text = 4.5;
constexpr double Boundary = 3.0;

struct Colours
{
    const char* pszWindow;
    const char* pszWindowText;
    const char* pszBase;
    const char* pszText;
    const char* pszButton;
    const char* pszButtonText;
    const char* pszHighlight;
    const char* pszHighlightedText;
};

QPalette palette(const Colours& objColours)
{
    QPalette objPalette;
    objPalette.setColor(QPalette::Window, QColor(objColours.pszWindow));
    objPalette.setColor(QPalette::WindowText, QColor(objColours.pszWindowText));
    objPalette.setColor(QPalette::Base, QColor(objColours.pszBase));
    objPalette.setColor(QPalette::Text, QColor(objColours.pszText));
    objPalette.setColor(QPalette::Button, QColor(objColours.pszButton));
    objPalette.setColor(QPalette::ButtonText, QColor(objColours.pszButtonText));
    objPalette.setColor(QPalette::Highlight, QColor(objColours.pszHighlight));
    objPalette.setColor(QPalette::HighlightedText, QColor(objColours.pszHighlightedText));
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    // As Qt has it where the desktop names no accent colour.
    objPalette.setColor(QPalette::Accent, QColor(objColours.pszHighlight));
#endif
    return objPalette;
}

// The palettes desktops give, as Qt reads them, and some that fall short in
// every way a palette can.
const Colours FusionLight{"#efefef", "#000000", "#ffffff", "#000000",
                          "#efefef", "#000000", "#308cc6", "#ffffff"};
const Colours AdwaitaDark{"#323232", "#eeeeec", "#242424", "#eeeeec",
                          "#323232", "#eeeeec", "#3190cc", "#ffffff"};

double contrast(const QPalette& objPalette, QPalette::ColorGroup enmGroup,
                QPalette::ColorRole enmFirst, QPalette::ColorRole enmSecond)
{
    return CReadablePalette::Contrast(objPalette.color(enmGroup, enmFirst),
                                      objPalette.color(enmGroup, enmSecond));
}

// Every pair that must read, in the active and the inactive window: "" when
// all do, else the first that falls short.
QString shortfall(const QPalette& objPalette)
{
    struct Pair
    {
        QPalette::ColorRole enmFirst;
        QPalette::ColorRole enmSecond;
        double dblMinimum;
        const char* pszWhat;
    };
    const Pair lstPairs[] = {
        {QPalette::WindowText, QPalette::Window, Text, "captions"},
        {QPalette::Text, QPalette::Base, Text, "typed text"},
        {QPalette::ButtonText, QPalette::Button, Text, "button captions"},
        {QPalette::Highlight, QPalette::Base, Boundary, "selection against the list"},
        {QPalette::HighlightedText, QPalette::Highlight, Text, "selected text"},
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
        {QPalette::Accent, QPalette::Base, Boundary, "accent against the list"},
        {QPalette::HighlightedText, QPalette::Accent, Text, "selected text on the accent"},
#endif
    };
    for (const auto enmGroup : {QPalette::Active, QPalette::Inactive}) {
        for (const Pair& objPair : lstPairs) {
            const double dblContrast =
                contrast(objPalette, enmGroup, objPair.enmFirst, objPair.enmSecond);
            if (dblContrast < objPair.dblMinimum)
                return QStringLiteral("%1 %2:1").arg(objPair.pszWhat).arg(dblContrast);
        }
    }
    return {};
}
// Whether the palette's selection is a shade of objBefore's: its hue kept.
bool keepsHue(const QPalette& objBefore, const QPalette& objAfter)
{
    return qAbs(objAfter.color(QPalette::Highlight).hslHue() -
                objBefore.color(QPalette::Highlight).hslHue()) <= 2;
}
} // namespace

class tst_CReadablePalette : public QObject
{
    Q_OBJECT

private slots:
    void contrastIsWcags_data();
    void contrastIsWcags();
    void makesEveryRoleRead_data();
    void makesEveryRoleRead();
    void keepsAPaletteThatReads_data();
    void keepsAPaletteThatReads();
    void shadesKeepTheDesktopsColours_data();
    void shadesKeepTheDesktopsColours();
    void darkensALightPalette_data();
    void darkensALightPalette();
    void keepsADarkPaletteDark();
    void followsEveryChangeOfLook();
};

void tst_CReadablePalette::contrastIsWcags_data()
{
    QTest::addColumn<QColor>("objFirst");
    QTest::addColumn<QColor>("objSecond");
    QTest::addColumn<double>("dblContrast");
    QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
    QTest::newRow("white on black") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
    QTest::newRow("a colour on itself") << QColor("#308cc6") << QColor("#308cc6") << 1.0;
    QTest::newRow("Fusion's text box frame") << QColor("#ababab") << QColor("#efefef") << 2.00;
    QTest::newRow("grey at the text limit") << QColor("#767676") << QColor(Qt::white) << 4.54;
    QTest::newRow("white on Fusion's selection") << QColor(Qt::white) << QColor("#308cc6") << 3.69;
}

void tst_CReadablePalette::contrastIsWcags()
{
    QFETCH(QColor, objFirst);
    QFETCH(QColor, objSecond);
    QFETCH(double, dblContrast);
    QCOMPARE(qRound(CReadablePalette::Contrast(objFirst, objSecond) * 100),
             qRound(dblContrast * 100));
}

void tst_CReadablePalette::makesEveryRoleRead_data()
{
    QTest::addColumn<QPalette>("objPalette");
    QTest::newRow("Fusion light, no platform theme") << palette(FusionLight);
    QTest::newRow("GTK's Adwaita dark through Qt 6.4") << palette(AdwaitaDark);
    QTest::newRow("pale text on a pale window") << palette(
        {"#efefef", "#c0c0c0", "#ffffff", "#d0d0d0", "#e0e0e0", "#b0b0b0", "#308cc6", "#ffffff"});
    QTest::newRow("selection the colour of the list") << palette(
        {"#efefef", "#000000", "#ffffff", "#000000", "#efefef", "#000000", "#ffffff", "#000000"});
    QTest::newRow("dark selected text on a dark selection in a dark list") << palette(
        {"#202020", "#ffffff", "#202020", "#ffffff", "#303030", "#ffffff", "#303030", "#404040"});
    QTest::newRow("every colour a middle grey") << palette(
        {"#777777", "#808080", "#7a7a7a", "#757575", "#7c7c7c", "#787878", "#7f7f7f", "#767676"});
    QTest::newRow("a pale selection with white text in a white list") << palette(
        {"#f6f5f4", "#2e3436", "#ffffff", "#000000", "#f6f5f4", "#2e3436", "#c0d8f0", "#ffffff"});
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    QPalette objAccented = palette(FusionLight);
    objAccented.setColor(QPalette::Accent, QColor("#3584e4"));
    QTest::newRow("an accent of its own that falls short") << objAccented;
    QPalette objUnreachable = palette(FusionLight);
    objUnreachable.setColor(QPalette::Accent, QColor("#ffffff"));
    QTest::newRow("an accent the colour of the list") << objUnreachable;
#endif
}

void tst_CReadablePalette::makesEveryRoleRead()
{
    QFETCH(QPalette, objPalette);
    // GIVEN the desktop's palette, WHEN it is made readable
    const QPalette objReadable = CReadablePalette::Readable(objPalette);
    // THEN every text and the selection read, in active and inactive windows
    QCOMPARE(shortfall(objReadable), QString());
    // AND a text box's boundary and the focused box's frame stand out
    const QColor objWindow = objReadable.color(QPalette::Window);
    const QColor objBox = objReadable.color(QPalette::Base);
    QCOMPARE_GE(CReadablePalette::Contrast(CReadablePalette::Boundary(objReadable), objWindow),
                Boundary);
    const QColor objFocus = CReadablePalette::FocusFrame(objReadable);
    QCOMPARE_GE(CReadablePalette::Contrast(objFocus, objWindow), Boundary);
    QCOMPARE_GE(CReadablePalette::Contrast(objFocus, objBox), Boundary);
    // AND what is behind the text is the desktop's own
    for (const auto enmRole : {QPalette::Window, QPalette::Base, QPalette::Button})
        QCOMPARE(objReadable.color(enmRole), objPalette.color(enmRole));
}

void tst_CReadablePalette::keepsAPaletteThatReads_data()
{
    QTest::addColumn<QPalette>("objPalette");
    QTest::newRow("black on white, a navy selection") << palette(
        {"#ffffff", "#000000", "#ffffff", "#000000", "#ffffff", "#000000", "#000080", "#ffffff"});
    QTest::newRow("white on black, a white selection") << palette(
        {"#000000", "#ffffff", "#000000", "#ffffff", "#000000", "#ffffff", "#ffffff", "#000000"});
    QTest::newRow("yellow on black, a yellow selection") << palette(
        {"#000000", "#ffff00", "#000000", "#ffff00", "#000000", "#ffff00", "#ffff00", "#000000"});
}

void tst_CReadablePalette::keepsAPaletteThatReads()
{
    QFETCH(QPalette, objPalette);
    QVERIFY(CReadablePalette::Readable(objPalette) == objPalette);
}

void tst_CReadablePalette::shadesKeepTheDesktopsColours_data()
{
    QTest::addColumn<QPalette>("objPalette");
    QTest::newRow("Fusion light, no platform theme") << palette(FusionLight);
    QTest::newRow("GTK's Adwaita dark through Qt 6.4") << palette(AdwaitaDark);
}

void tst_CReadablePalette::shadesKeepTheDesktopsColours()
{
    QFETCH(QPalette, objPalette);
    const QPalette objReadable = CReadablePalette::Readable(objPalette);
    // THEN the selection changed to a shade of the desktop's blue
    QVERIFY(objReadable.color(QPalette::Highlight) != objPalette.color(QPalette::Highlight));
    QVERIFY(keepsHue(objPalette, objReadable));
    // AND a text box's boundary is no further from the window than it must be
    const double dblBoundary = CReadablePalette::Contrast(CReadablePalette::Boundary(objReadable),
                                                          objReadable.color(QPalette::Window));
    QCOMPARE_LT(dblBoundary, Boundary + 0.1);
}

void tst_CReadablePalette::darkensALightPalette_data()
{
    QTest::addColumn<QPalette>("objPalette");
    QTest::newRow("Fusion light, no platform theme") << palette(FusionLight);
    QTest::newRow("GTK's Adwaita through Qt 6.8") << palette(
        {"#faf9f8", "#000000", "#ffffff", "#000000", "#faf9f8", "#2e3436", "#3584e4", "#ffffff"});
    QTest::newRow("GTK's HighContrast through Qt 6.8") << palette(
        {"#fefefd", "#000000", "#fefefd", "#000000", "#fefefd", "#000000", "#1b6acb", "#ffffff"});
}

void tst_CReadablePalette::darkensALightPalette()
{
    QFETCH(QPalette, objPalette);
    // GIVEN a light palette from a desktop that asks for dark
    const QPalette objDark = CReadablePalette::Darkened(objPalette);
    // THEN the window is dark and its text light, and once readable every
    // text and the selection read
    const QColor objWindow = objDark.color(QPalette::Window);
    QCOMPARE_LT(objWindow.lightness(), 64);
    QCOMPARE_GT(objDark.color(QPalette::WindowText).lightness(), 192);
    QCOMPARE_LT(objDark.color(QPalette::Base).lightness(), 64);
    QCOMPARE(shortfall(CReadablePalette::Readable(objDark)), QString());
    // AND a grey stays a grey, a colour keeps its hue
    QCOMPARE_LE(qAbs(objWindow.red() - objWindow.blue()), 3);
    QVERIFY(keepsHue(objPalette, objDark));
}

void tst_CReadablePalette::keepsADarkPaletteDark()
{
    const QPalette objPalette = palette(AdwaitaDark);
    QVERIFY(CReadablePalette::Darkened(objPalette) == objPalette);
}

void tst_CReadablePalette::followsEveryChangeOfLook()
{
    // GIVEN the program's filter of the application's events in place
    CDesktop::Install();
    QCOMPARE(shortfall(QApplication::palette()), QString());
    // WHEN the look changes to a palette that does not read, before any
    // window shows
    QApplication::setPalette(palette(
        {"#777777", "#808080", "#7a7a7a", "#757575", "#7c7c7c", "#787878", "#7f7f7f", "#767676"}));
    QCOMPARE_NE(shortfall(QApplication::palette()), QString());
    // THEN the palette is made readable again
    QTRY_COMPARE(shortfall(QApplication::palette()), QString());
}

QTEST_MAIN(tst_CReadablePalette)
#include "tst_CReadablePalette.moc"
