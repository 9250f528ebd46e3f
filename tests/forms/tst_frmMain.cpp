#include "FormTesting.h"
#include "LayoutPixels.h"

#include <CWrappingButton.h>

#include <QGroupBox>
#include <QProcess>
#include <QScreen>

class tst_frmMain : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layout_data();
    void layout();
    void tabOrderAndNames();
    void countMessage_data();
    void countMessage();
    void selectionRequired_data();
    void selectionRequired();
    void enterInListRunsAdd();
    void endings_data();
    void endings();
    void captionsKeepClearOfTheBevel_data();
    void captionsKeepClearOfTheBevel();

private:
    std::unique_ptr<MessageRecorder> mpMessages;
};

void tst_frmMain::init()
{
    mpMessages = std::make_unique<MessageRecorder>();
    showMainWindow();
}

void tst_frmMain::cleanup()
{
    releaseForms();
    mpMessages.reset();
}

void tst_frmMain::layout_data()
{
    QTest::addColumn<QString>("strName");
    QTest::addColumn<QString>("strCaption");
    QTest::newRow("Add") << "cmdAdd"
                         << "&Add Customer";
    QTest::newRow("Remove") << "cmdRemove"
                            << "&Remove Customer";
    QTest::newRow("Display") << "cmdDisplay"
                             << "&Display Customer Data";
    QTest::newRow("Count") << "cmdCount"
                           << "&Number of Customers";
    QTest::newRow("Exit") << "cmdExit"
                          << "E&xit";
    QTest::newRow("Frame") << "Frame1"
                           << "Customer List";
    QTest::newRow("List in frame") << "lstCustomer"
                                   << "";
}

void tst_frmMain::layout()
{
    QFETCH(QString, strName);
    QFETCH(QString, strCaption);
    QWidget& objWindow = *CForm::Get<frmMain>().Window();
    QCOMPARE(objWindow.windowTitle(), QString("Parcelwick - Customer Information"));
    QCOMPARE(objWindow.size(), layoutPixels("frmMain", "window").size());
    QWidget& objControl = control<frmMain>(strName.toUtf8().constData());
    QCOMPARE(objControl.geometry(), layoutPixels("frmMain", strName));
    if (auto* pButton = qobject_cast<QAbstractButton*>(&objControl))
        QCOMPARE(pButton->text(), strCaption);
    else if (auto* pFrame = qobject_cast<QGroupBox*>(&objControl))
        QCOMPARE(pFrame->title(), strCaption);
    else
        QCOMPARE(objControl.parentWidget()->objectName(), QString("Frame1"));
}

void tst_frmMain::tabOrderAndNames()
{
    QWidget& objWindow = *CForm::Get<frmMain>().Window();
    QCOMPARE(tabOrder(objWindow),
             (QStringList{"cmdAdd=Add Customer", "cmdRemove=Remove Customer",
                          "cmdDisplay=Display Customer Data", "cmdExit=Exit",
                          "lstCustomer=Customer List", "cmdCount=Number of Customers"}));
    // Tab itself walks the same way, from Exit into the list and on to the count.
    mainButton("cmdExit").setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), &mainList());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), &mainButton("cmdCount"));
}

void tst_frmMain::countMessage_data()
{
    QTest::addColumn<int>("intEntries");
    QTest::addColumn<bool>("bByKey");
    QTest::newRow("none") << 0 << false;
    QTest::newRow("one") << 1 << false;
    QTest::newRow("two, Alt+N") << 2 << true;
    QTest::newRow("past 16 bits") << 40000 << false;
}

void tst_frmMain::countMessage()
{
    QFETCH(int, intEntries);
    QFETCH(bool, bByKey);
    CListBox lstCustomer = CForm::Get<frmMain>().lstCustomer();
    for (int i = 0; i < intEntries; ++i)
        lstCustomer.AddItem(QString::number(i));
    if (bByKey)
        QTest::keyClick(CForm::Get<frmMain>().Window(), Qt::Key_N, Qt::AltModifier);
    else
        mainButton("cmdCount").click();
    const Message objExpected{"Corvale", QString("There are %1 customers.").arg(intEntries)};
    QTRY_COMPARE(mpMessages->lstMessages, QList<Message>{objExpected});
}

void tst_frmMain::selectionRequired_data()
{
    QTest::addColumn<QString>("strButton");
    QTest::addColumn<int>("intAccessKey");
    QTest::addColumn<int>("intEntries");
    QTest::newRow("Remove, empty list") << "cmdRemove" << 0 << 0;
    QTest::newRow("Display, empty list") << "cmdDisplay" << 0 << 0;
    QTest::newRow("Remove, none selected") << "cmdRemove" << 0 << 3;
    QTest::newRow("Display, none selected") << "cmdDisplay" << 0 << 3;
    QTest::newRow("Alt+R") << "" << int(Qt::Key_R) << 3;
    QTest::newRow("Alt+D") << "" << int(Qt::Key_D) << 3;
}

void tst_frmMain::selectionRequired()
{
    QFETCH(QString, strButton);
    QFETCH(int, intAccessKey);
    QFETCH(int, intEntries);
    for (int i = 0; i < intEntries; ++i)
        CForm::Get<frmMain>().lstCustomer().AddItem(QString::number(i));
    const bool bShown = withDialog(
        [&] {
            if (intAccessKey != 0) {
                QTest::keyClick(CForm::Get<frmMain>().Window(), Qt::Key(intAccessKey),
                                Qt::AltModifier);
                QTRY_COMPARE(mpMessages->lstMessages.size(), 1);
            } else {
                mainButton(strButton.toUtf8().constData()).click();
            }
        },
        [] { dialogButton("cmdOK").click(); });
    QVERIFY(!bShown);
    QCOMPARE(mpMessages->lstMessages,
             (QList<Message>{{"Input Requested", "Please Select a Customer from the List"}}));
    QVERIFY(!CForm::Get<frmCustomer>().IsLoaded());
}

void tst_frmMain::enterInListRunsAdd()
{
    CForm::Get<frmMain>().lstCustomer().AddItem("C1");
    mainList().setFocus();
    const bool bShown = withDialog([] { QTest::keyClick(&mainList(), Qt::Key_Return); },
                                   [] { dialogButton("cmdCancel").click(); });
    QVERIFY(bShown);
    QCOMPARE(mpMessages->lstMessages, QList<Message>());
}

void tst_frmMain::endings_data()
{
    QTest::addColumn<int>("intHow"); // 0 Exit, 1 Alt+X, 2 the frame's close button
    QTest::addColumn<bool>("bDialogUsed");
    QTest::newRow("Exit first") << 0 << false;
    QTest::newRow("Exit after use") << 0 << true;
    QTest::newRow("Alt+X") << 1 << true;
    QTest::newRow("frame close first") << 2 << false;
    QTest::newRow("frame close after use") << 2 << true;
}

void tst_frmMain::endings()
{
    QFETCH(int, intHow);
    QFETCH(bool, bDialogUsed);
    std::weak_ptr<CCustomer> pRecord;
    if (bDialogUsed) {
        addCustomer({"C1", "Smith"});
        pRecord = CForm::Get<frmCustomer>().Customers()->Item("C1");
    }
    QCOMPARE(CForm::Get<frmCustomer>().IsLoaded(), bDialogUsed);
    if (intHow == 0)
        mainButton("cmdExit").click();
    else if (intHow == 1)
        QTest::keyClick(CForm::Get<frmMain>().Window(), Qt::Key_X, Qt::AltModifier);
    else
        CForm::Get<frmMain>().Window()->close();
    QTRY_VERIFY(CForm::HasEnded());
    QVERIFY(!CForm::Get<frmMain>().IsLoaded());
    QVERIFY(!CForm::Get<frmCustomer>().IsLoaded());
    QVERIFY(pRecord.expired());
    QCOMPARE(mpMessages->lstMessages, QList<Message>());
}

namespace {
// Where a button's caption has ink, in device pixels: what changes when the
// caption is taken away, antialiasing included.
QRect captionInk(QAbstractButton& objButton)
{
    const QString strCaption = objButton.text();
    const QImage imgWith = objButton.grab().toImage();
    objButton.setText(QString());
    const QImage imgWithout = objButton.grab().toImage();
    objButton.setText(strCaption);
    QRect rctInk;
    for (int y = 0; y < imgWith.height(); ++y)
        for (int x = 0; x < imgWith.width(); ++x)
            if (imgWith.pixel(x, y) != imgWithout.pixel(x, y))
                rctInk |= QRect(x, y, 1, 1);
    return rctInk;
}
} // namespace

void tst_frmMain::captionsKeepClearOfTheBevel_data()
{
    QTest::addColumn<qreal>("dblScale");         // QT_SCALE_FACTOR
    QTest::addColumn<qreal>("dblDesktopPoints"); // 0: the application's own font
    for (const qreal dblScale : {1.0, 1.25, 1.5, 1.75, 2.0})
        QTest::addRow("%d %%", int(dblScale * 100)) << dblScale << 0.0;
    QTest::addRow("12 pt desktop font") << 1.0 << 12.0;
    QTest::addRow("12 pt desktop font at 125 %%") << 1.25 << 12.0;
}

void tst_frmMain::captionsKeepClearOfTheBevel()
{
    QFETCH(qreal, dblScale);
    QFETCH(qreal, dblDesktopPoints);
    // Qt reads its scale factor once, at start: this row runs again in a
    // process of its own at that scale.
    if (!qFuzzyCompare(QGuiApplication::primaryScreen()->devicePixelRatio(), dblScale)) {
        QProcess objRun;
        QProcessEnvironment objEnvironment = QProcessEnvironment::systemEnvironment();
        objEnvironment.insert("QT_SCALE_FACTOR", QString::number(dblScale));
        objRun.setProcessEnvironment(objEnvironment);
        objRun.setProcessChannelMode(QProcess::MergedChannels);
        objRun.start(QCoreApplication::applicationFilePath(),
                     {QString("captionsKeepClearOfTheBevel:") + QTest::currentDataTag()});
        QVERIFY(objRun.waitForFinished(-1));
        QVERIFY2(objRun.exitStatus() == QProcess::NormalExit && objRun.exitCode() == 0,
                 objRun.readAll().constData());
        return;
    }

    // GIVEN the desktop's font, WHEN both windows are loaded
    const auto restore = desktopFont(dblDesktopPoints);
    if (dblDesktopPoints > 0)
        showMainWindow();
    CForm::Get<frmCustomer>().Load();

    // THEN every button's caption keeps three pixels at 100 % clear of the
    // one-pixel bevel, side by side and above and below
    const int intClear = qRound(4 * dblScale);
    for (QWidget* pWindow : {CForm::Get<frmMain>().Window(), CForm::Get<frmCustomer>().Window()}) {
        for (CWrappingButton* pButton : pWindow->findChildren<CWrappingButton*>()) {
            const QRect rctInk = captionInk(*pButton);
            const QSize sizButton = pButton->grab().size();
            const QString strWhere = QString("%1: ink %2..%3 of %4 pixels, %5 clear wanted")
                                         .arg(pButton->objectName())
                                         .arg(rctInk.left())
                                         .arg(rctInk.right())
                                         .arg(sizButton.width())
                                         .arg(intClear);
            QVERIFY2(!rctInk.isEmpty(), qPrintable(strWhere));
            QVERIFY2(rctInk.left() >= intClear, qPrintable(strWhere));
            QVERIFY2(sizButton.width() - 1 - rctInk.right() >= intClear, qPrintable(strWhere));
            QVERIFY2(rctInk.top() >= intClear, qPrintable(strWhere));
            QVERIFY2(sizButton.height() - 1 - rctInk.bottom() >= intClear, qPrintable(strWhere));
        }
    }
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
