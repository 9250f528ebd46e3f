#include "LayoutPixels.h"
#include "platform/TestForms.h"

#include <CWrappingButton.h>

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

class tst_CFontFitting : public FormTestCase
{
    Q_OBJECT

private slots:
    void captionsShareOneSizeAndFit_data();
    void captionsShareOneSizeAndFit();
};

void tst_CFontFitting::captionsShareOneSizeAndFit_data()
{
    QTest::addColumn<qreal>("dblDesktopPoints"); // 0: the application's own font
    QTest::newRow("default font") << 0.0;
    QTest::newRow("9 pt desktop") << 9.0;
    QTest::newRow("11 pt desktop") << 11.0;
    QTest::newRow("14 pt desktop") << 14.0;
    QTest::newRow("20 pt desktop") << 20.0;
}

void tst_CFontFitting::captionsShareOneSizeAndFit()
{
    QFETCH(qreal, dblDesktopPoints);
    // GIVEN the desktop's font, WHEN the form is loaded
    const auto restore = desktopFont(dblDesktopPoints);
    if (dblDesktopPoints > 0)
        CForm::Get<frmTest>().Show();
    QWidget& objWindow = *CForm::Get<frmTest>().Window();

    // THEN the window grows in proportion with a larger desktop font, never
    // shrinks below its table, and every control keeps its place in it
    const QSize objTable = layoutPixels("frmTest", "window").size();
    const qreal dblScale = qreal(objWindow.width()) / objTable.width();
    QVERIFY2(dblScale >= 1.0, qPrintable(QString::number(dblScale)));
    if (dblDesktopPoints <= 9.0)
        QCOMPARE(objWindow.size(), objTable);
    else
        QVERIFY2(dblScale >= dblDesktopPoints / 9.0 - 0.01, qPrintable(QString::number(dblScale)));
    QVERIFY(qAbs(objWindow.height() - objTable.height() * dblScale) <= 1);
    const QRect rctGo = widget("cmdGo").geometry();
    const QRect rctGoTable = layoutPixels("frmTest", "cmdGo");
    QVERIFY(qAbs(rctGo.left() - rctGoTable.left() * dblScale) <= 1 &&
            qAbs(rctGo.width() - rctGoTable.width() * dblScale) <= 1);

    // AND every caption is in one font and size, none below 8 pt, none clipped
    const qreal dblPoints = objWindow.font().pointSizeF();
    QVERIFY2(dblPoints >= 8.0, qPrintable(QString::number(dblPoints)));
    for (const QWidget* pWidget : objWindow.findChildren<QWidget*>()) {
        if (!pWidget->isVisibleTo(&objWindow))
            continue;
        const QFontMetrics objMetrics(pWidget->font());
        QString strCaption;
        QRect rctSpace = pWidget->contentsRect();
        int intFlags = Qt::TextSingleLine;
        if (const auto* pButton = qobject_cast<const CWrappingButton*>(pWidget)) {
            strCaption = pButton->text().remove(u'&');
            rctSpace = pButton->rect().adjusted(2, 2, -2, -2);
            intFlags = Qt::TextWordWrap;
        } else if (const auto* pLabel = qobject_cast<const QLabel*>(pWidget)) {
            strCaption = pLabel->text().remove(u'&');
        } else if (const auto* pFrame = qobject_cast<const QGroupBox*>(pWidget)) {
            strCaption = pFrame->title();
        } else if (const auto* pEdit = qobject_cast<const QLineEdit*>(pWidget)) {
            // Typed text keeps its ascenders and descenders.
            QVERIFY2(objMetrics.height() + 4 <= pEdit->height(), qPrintable(pEdit->objectName()));
            continue;
        } else {
            continue;
        }
        const QByteArray strWhat = pWidget->objectName().toUtf8();
        QCOMPARE(pWidget->font().pointSizeF(), dblPoints);
        const QRect rctNeeded = objMetrics.boundingRect(rctSpace, intFlags, strCaption);
        QVERIFY2(rctNeeded.width() <= rctSpace.width(), strWhat);
        QVERIFY2(rctNeeded.height() <= rctSpace.height(), strWhat);
    }
}

QTEST_MAIN(tst_CFontFitting)
#include "tst_CFontFitting.moc"
