#include "FormTesting.h"
#include "LayoutPixels.h"

#include <CAnnouncer.h>
#include <CCollation.h>

#include <QLabel>
#include <QMouseEvent>

#include <random>

namespace {
const QStringList gSmith{"C1", "Smith", "Ann", "1 High St", "Leeds", "WY", "LS1 4AB"};
const QStringList gJones{"C2", "Jones", "Bo", "2 Low Rd", "York", "NY", "10001"};

// What the main window last told screen reader users, if anything.
QString announced()
{
    const auto* pAnnouncer = CForm::Get<frmMain>().Window()->findChild<CAnnouncer*>();
    return pAnnouncer ? pAnnouncer->accessibleName() : QString();
}

QString heading()
{
    return control<frmCustomer, QLabel>("lblCommand").text();
}

QStringList storedFields(const QString& strKey)
{
    const auto objCustomer = CForm::Get<frmCustomer>().Customers()->Item(strKey);
    return {objCustomer->CustomerID(), objCustomer->LastName(), objCustomer->FirstName(),
            objCustomer->Address(),    objCustomer->City(),     objCustomer->State(),
            objCustomer->ZipCode()};
}

// Opens the dialog for the selected entry with Remove or Display; fnInDialog
// sees it open and closes it.
bool openFor(const QString& strId, const char* pszButton, const std::function<void()>& fnInDialog)
{
    if (!selectEntry(strId))
        return false;
    return withDialog([&] { mainButton(pszButton).click(); }, fnInDialog);
}
} // namespace

class tst_frmCustomer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layout();
    void addStoresWhatWasTyped();
    void addOpensEmptyWithFocusOnId();
    void modes_data();
    void modes();
    void refusedIdKeepsDialogOpen_data();
    void refusedIdKeepsDialogOpen();
    void removeGoesByMainWindowKey();
    void doubleClickDisplays();
    void randomSessionsKeepListAndStoreInStep();

private:
    std::unique_ptr<MessageRecorder> mpMessages;
};

void tst_frmCustomer::init()
{
    mpMessages = std::make_unique<MessageRecorder>();
    showMainWindow();
}

void tst_frmCustomer::cleanup()
{
    releaseForms();
    mpMessages.reset();
}

void tst_frmCustomer::layout()
{
    CForm::Get<frmCustomer>().Load();
    QWidget& objWindow = *CForm::Get<frmCustomer>().Window();
    QCOMPARE(objWindow.windowTitle(), QString("Customer Data Form"));
    QCOMPARE(objWindow.size(), layoutPixels("frmCustomer", "window").size());
    for (const char* pszName : {"txtID", "txtZipCode", "cmdCancel"})
        QCOMPARE(control<frmCustomer>(pszName).geometry(), layoutPixels("frmCustomer", pszName));
    const QLabel& lblCommand = control<frmCustomer, QLabel>("lblCommand");
    QCOMPARE(lblCommand.geometry(), layoutPixels("frmCustomer", "lblCommand"));
    QCOMPARE(lblCommand.alignment(), Qt::AlignCenter);
    QCOMPARE(lblCommand.font().pointSize(), 12);
    QVERIFY(lblCommand.font().bold());
    const QLabel& lblState = control<frmCustomer, QLabel>("Label6");
    QCOMPARE(lblState.text(), QString("&State"));
    QCOMPARE(lblState.geometry(), layoutPixels("frmCustomer", "Label6"));
    QCOMPARE(lblState.alignment() & Qt::AlignRight, Qt::AlignRight);

    QCOMPARE(tabOrder(objWindow),
             (QStringList{"txtID=Customer ID", "txtLastName=Last Name", "txtFirstName=First Name",
                          "txtAddress=Address", "txtCity=City", "txtState=State",
                          "txtZipCode=Zip Code", "cmdOK=OK", "cmdCancel=Cancel"}));
}

void tst_frmCustomer::addStoresWhatWasTyped()
{
    // Typed by keyboard: Alt+letter reaches each box, Enter presses OK.
    const bool bShown =
        withDialog([] { mainButton("cmdAdd").click(); },
                   [] {
                       QWidget* pWindow = CForm::Get<frmCustomer>().Window();
                       const std::pair<Qt::Key, const char*> lstKeys[] = {
                           {Qt::Key_U, "C10"},       {Qt::Key_L, "Smith"}, {Qt::Key_F, "Ann"},
                           {Qt::Key_A, "1 High St"}, {Qt::Key_I, "Leeds"}, {Qt::Key_S, "WY"},
                           {Qt::Key_Z, "<b>LS1</b>"}};
                       for (const auto& [enmKey, pszText] : lstKeys) {
                           QTest::keyClick(pWindow, enmKey, Qt::AltModifier);
                           QTest::keyClicks(QApplication::focusWidget(), pszText);
                       }
                       QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                   });
    QVERIFY(bShown);
    addCustomer(gJones);
    addCustomer({"c9"});
    QCOMPARE(listEntries(), (QStringList{"C2", "c9", "C10"}));
    QCOMPARE(storedKeys(), (QStringList{"C10", "C2", "c9"}));
    QCOMPARE(storedFields("C10"),
             (QStringList{"C10", "Smith", "Ann", "1 High St", "Leeds", "WY", "<b>LS1</b>"}));
    QCOMPARE(storedFields("C2"), gJones);
    QCOMPARE(CForm::Get<frmMain>().lstCustomer().ListIndex(), -1);
    QCOMPARE(mpMessages->lstMessages, QList<Message>());
}

void tst_frmCustomer::addOpensEmptyWithFocusOnId()
{
    addCustomer(gSmith);
    // After a display has filled the boxes, Add opens empty again.
    openFor("C1", "cmdDisplay", [] { dialogButton("cmdOK").click(); });
    QStringList lstOpened;
    QWidget* pFocus = nullptr;
    withDialog([] { mainButton("cmdAdd").click(); },
               [&] {
                   lstOpened = dialogTexts();
                   pFocus = QApplication::focusWidget();
                   QTest::keyClick(pFocus, Qt::Key_Escape);
               });
    QCOMPARE(lstOpened, QStringList(7, QString()));
    QCOMPARE(pFocus, &dialogBox("txtID"));
    QCOMPARE(heading(), QString("Add New Customer Info"));
    QCOMPARE(listEntries(), QStringList{"C1"});
}

void tst_frmCustomer::modes_data()
{
    QTest::addColumn<QString>("strButton");
    QTest::addColumn<QString>("strClose"); // OK, Cancel, Esc, Enter, Frame
    QTest::addColumn<QString>("strHeading");
    QTest::addColumn<bool>("bCancelShown");
    QTest::addColumn<QStringList>("lstAfter");
    QTest::addColumn<QString>("strAnnounced"); // to screen readers; empty: nothing new
    const QStringList lstBoth{"C1", "C2"};
    QTest::newRow("add, OK") << "cmdAdd"
                             << "OK"
                             << "Add New Customer Info" << true << QStringList{"C1", "C2", "C3"}
                             << QString("Customer C3 added");
    QTest::newRow("add, Cancel") << "cmdAdd"
                                 << "Cancel"
                                 << "Add New Customer Info" << true << lstBoth << QString();
    QTest::newRow("add, Esc") << "cmdAdd"
                              << "Esc"
                              << "Add New Customer Info" << true << lstBoth << QString();
    QTest::newRow("add, frame") << "cmdAdd"
                                << "Frame"
                                << "Add New Customer Info" << true << lstBoth << QString();
    QTest::newRow("remove, OK") << "cmdRemove"
                                << "OK"
                                << "Remove this record?" << true << QStringList{"C2"}
                                << QString("Customer C1 removed");
    QTest::newRow("remove, Enter")
        << "cmdRemove"
        << "Enter"
        << "Remove this record?" << true << QStringList{"C2"} << QString("Customer C1 removed");
    QTest::newRow("remove, Cancel") << "cmdRemove"
                                    << "Cancel"
                                    << "Remove this record?" << true << lstBoth << QString();
    QTest::newRow("remove, frame") << "cmdRemove"
                                   << "Frame"
                                   << "Remove this record?" << true << lstBoth << QString();
    QTest::newRow("display, OK") << "cmdDisplay"
                                 << "OK"
                                 << "Customer Data Display" << false << lstBoth << QString();
    QTest::newRow("display, Esc") << "cmdDisplay"
                                  << "Esc"
                                  << "Customer Data Display" << false << lstBoth << QString();
    QTest::newRow("display, frame") << "cmdDisplay"
                                    << "Frame"
                                    << "Customer Data Display" << false << lstBoth << QString();
}

void tst_frmCustomer::modes()
{
    QFETCH(QString, strButton);
    QFETCH(QString, strClose);
    QFETCH(QString, strHeading);
    QFETCH(bool, bCancelShown);
    QFETCH(QStringList, lstAfter);
    QFETCH(QString, strAnnounced);
    addCustomer(gSmith);
    addCustomer(gJones);
    // The last use left the cursor in the last box.
    withDialog([] { mainButton("cmdAdd").click(); },
               [] {
                   dialogBox("txtZipCode").setFocus();
                   dialogButton("cmdCancel").click();
               });
    const QString strAnnouncedBefore = announced();
    if (strButton != "cmdAdd")
        QVERIFY(selectEntry("C1"));

    QStringList lstOpened;
    QString strFocused;
    bool bCancelVisible = false;
    const bool bShown = withDialog([&] { mainButton(strButton.toUtf8().constData()).click(); },
                                   [&] {
                                       lstOpened = dialogTexts();
                                       strFocused = QApplication::focusWidget()->objectName();
                                       bCancelVisible = dialogButton("cmdCancel").isVisible();
                                       QCOMPARE(heading(), strHeading);
                                       // Edits never reach the store, in any mode, unless OK adds
                                       // them.
                                       for (const char* pszName : gFields)
                                           dialogBox(pszName).setText(QString("edited ") + pszName);
                                       dialogBox("txtID").setText("C3");
                                       if (strClose == "OK")
                                           dialogButton("cmdOK").click();
                                       else if (strClose == "Cancel")
                                           dialogButton("cmdCancel").click();
                                       else if (strClose == "Enter")
                                           QTest::keyClick(&dialogBox("txtCity"), Qt::Key_Return);
                                       else if (strClose == "Esc")
                                           QTest::keyClick(&dialogBox("txtCity"), Qt::Key_Escape);
                                       else
                                           CForm::Get<frmCustomer>().Window()->close();
                                   });
    QVERIFY(bShown);
    QVERIFY(!CForm::Get<frmCustomer>().IsVisible());
    QCOMPARE(strFocused, QString("txtID"));
    QCOMPARE(bCancelVisible, bCancelShown);
    QCOMPARE(lstOpened, strButton == "cmdAdd" ? QStringList(7, QString()) : gSmith);
    QCOMPARE(listEntries(), lstAfter);
    QCOMPARE(storedKeys(), lstAfter);
    if (lstAfter.contains("C1"))
        QCOMPARE(storedFields("C1"), gSmith);
    QCOMPARE(storedFields("C2"), gJones);
    QCOMPARE(CForm::Get<frmMain>().lstCustomer().ListIndex(), -1);
    QVERIFY(dialogButton("cmdCancel").isVisibleTo(CForm::Get<frmCustomer>().Window()));
    QCOMPARE(mpMessages->lstMessages, QList<Message>());
    QCOMPARE(strAnnouncedBefore, QString("Customer C2 added"));
    QCOMPARE(announced(), strAnnounced.isEmpty() ? strAnnouncedBefore : strAnnounced);
}

void tst_frmCustomer::refusedIdKeepsDialogOpen_data()
{
    QTest::addColumn<QString>("strId");
    QTest::addColumn<QString>("strMessage");
    QTest::newRow("repeated") << "C1"
                              << "There is already a customer with ID \"C1\".";
    QTest::newRow("empty") << ""
                           << "Please enter a Customer ID.";
    QTest::newRow("repeated markup") << "<b>x</b>"
                                     << "There is already a customer with ID \"<b>x</b>\".";
    QTest::newRow("blank") << " \u00a0\t\u200b"
                           << "Please enter a Customer ID.";
    QTest::newRow("look-alike") << "C1\u200b"
                                << "There is already a customer with ID \"C1\", which looks the "
                                   "same as \"C1<U+200B>\".";
}

void tst_frmCustomer::refusedIdKeepsDialogOpen()
{
    QFETCH(QString, strId);
    QFETCH(QString, strMessage);
    addCustomer(gSmith);
    addCustomer({"<b>x</b>"});
    const QStringList lstTyped{strId, "New", "Person", "3 Mid Way", "Hull", "HU", "HU1"};
    QStringList lstAfterRefusal;
    bool bStillOpen = false;
    withDialog([] { mainButton("cmdAdd").click(); },
               [&] {
                   typeIntoDialog(lstTyped);
                   dialogButton("cmdOK").click();
                   bStillOpen = CForm::Get<frmCustomer>().IsVisible();
                   lstAfterRefusal = dialogTexts();
                   // The user corrects the ID and tries again.
                   dialogBox("txtID").setText("C7");
                   dialogButton("cmdOK").click();
               });
    QVERIFY(bStillOpen);
    QCOMPARE(lstAfterRefusal, lstTyped);
    QCOMPARE(mpMessages->lstMessages, (QList<Message>{{"Corvale", strMessage}}));
    QCOMPARE(listEntries(), (QStringList{"<b>x</b>", "C1", "C7"}));
    QCOMPARE(storedKeys(), (QStringList{"C1", "<b>x</b>", "C7"}));
    QCOMPARE(storedFields("C1"), gSmith);
    QCOMPARE(storedFields("C7").mid(1), lstTyped.mid(1));
}

void tst_frmCustomer::removeGoesByMainWindowKey()
{
    addCustomer(gSmith);
    addCustomer(gJones);
    QVERIFY(openFor("C2", "cmdRemove", [] {
        dialogBox("txtID").setText("C1");
        QTest::keyClick(CForm::Get<frmCustomer>().Window(), Qt::Key_O, Qt::AltModifier);
    }));
    QCOMPARE(listEntries(), QStringList{"C1"});
    QCOMPARE(storedKeys(), QStringList{"C1"});
    // Display hid Cancel; the next Remove shows it again.
    bool bCancelVisible = false;
    openFor("C1", "cmdDisplay", [] { dialogButton("cmdOK").click(); });
    openFor("C1", "cmdRemove", [&] {
        bCancelVisible = dialogButton("cmdCancel").isVisible();
        QTest::keyClick(CForm::Get<frmCustomer>().Window(), Qt::Key_C, Qt::AltModifier);
    });
    QVERIFY(bCancelVisible);
    QTRY_VERIFY(!CForm::Get<frmCustomer>().IsVisible());
    QCOMPARE(storedKeys(), QStringList{"C1"});
}

void tst_frmCustomer::doubleClickDisplays()
{
    addCustomer(gSmith);
    addCustomer(gJones);
    QListView& lstView = mainList();
    QTRY_VERIFY(lstView.visualRect(lstView.model()->index(1, 0)).isValid());
    const QRect rctRow = lstView.visualRect(lstView.model()->index(1, 0));
    QStringList lstShown;
    QString strHeading;
    const bool bShown = withDialog(
        [&] {
            // A press and release, then the double-click event proper, as the
            // window system delivers them.
            QWidget* pViewport = lstView.viewport();
            const QPoint ptRow = rctRow.center();
            QTest::mouseClick(pViewport, Qt::LeftButton, {}, ptRow);
            QMouseEvent objDouble(QEvent::MouseButtonDblClick, ptRow, pViewport->mapToGlobal(ptRow),
                                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(pViewport, &objDouble);
        },
        [&] {
            lstShown = dialogTexts();
            strHeading = heading();
            dialogButton("cmdOK").click();
        });
    QVERIFY(bShown);
    QCOMPARE(strHeading, QString("Customer Data Display"));
    QCOMPARE(lstShown, gJones);
    QCOMPARE(CForm::Get<frmMain>().lstCustomer().ListIndex(), -1);
    QCOMPARE(storedKeys(), (QStringList{"C1", "C2"}));
}

void tst_frmCustomer::randomSessionsKeepListAndStoreInStep()
{
    std::mt19937 objRandom(1208);
    const auto randomId = [&] {
        static const QStringList lstPieces{"C", "c", "1", "10", "9", "é", "É", " "};
        QString strId;
        const int intLength = int(objRandom() % 3);
        for (int i = 0; i < intLength; ++i)
            strId += lstPieces[int(objRandom() % lstPieces.size())];
        return strId;
    };
    CCollation objCollation;
    for (int intStep = 0; intStep < 2000; ++intStep) {
        const QStringList lstBefore = listEntries();
        const int intAction = int(objRandom() % 6);
        const QString strId = lstBefore.isEmpty() || objRandom() % 2
                                  ? randomId()
                                  : lstBefore[int(objRandom() % lstBefore.size())];
        const int intClose = int(objRandom() % 3); // OK, Cancel, frame
        const auto close = [&] {
            if (intClose == 0)
                dialogButton("cmdOK").click();
            if (CForm::Get<frmCustomer>().IsVisible() && intClose != 2)
                dialogButton("cmdCancel").click();
            if (CForm::Get<frmCustomer>().IsVisible())
                CForm::Get<frmCustomer>().Window()->close();
        };
        switch (intAction) {
        case 0:
        case 1:
            withDialog([] { mainButton("cmdAdd").click(); },
                       [&] {
                           typeIntoDialog({strId, QString::number(intStep)});
                           close();
                       });
            break;
        case 2:
            if (!openFor(strId, "cmdRemove", close))
                mainButton("cmdRemove").click();
            break;
        case 3:
            if (!openFor(strId, "cmdDisplay", close))
                mainButton("cmdDisplay").click();
            break;
        case 4:
            mainButton("cmdCount").click();
            QCOMPARE(mpMessages->lstMessages.last().strText,
                     QString("There are %1 customers.").arg(lstBefore.size()));
            break;
        default:
            // Typed in full, then the dialog is closed by its frame.
            withDialog([] { mainButton("cmdAdd").click(); },
                       [&] {
                           typeIntoDialog({strId, "x", "y", "z", "w", "v", "u"});
                           CForm::Get<frmCustomer>().Window()->close();
                       });
            break;
        }
        QStringList lstKeys = storedKeys();
        const QStringList lstEntries = listEntries();
        QVERIFY(std::is_sorted(lstEntries.begin(), lstEntries.end(), objCollation));
        std::sort(lstKeys.begin(), lstKeys.end(), objCollation);
        QCOMPARE(lstEntries, lstKeys);
        QCOMPARE(CForm::Get<frmMain>().lstCustomer().ListIndex(), -1);
        QVERIFY(!CForm::Get<frmCustomer>().IsVisible());
    }
    // Every refusal was for a repeated or an empty ID, never anything else.
    for (const Message& objMessage : mpMessages->lstMessages) {
        QVERIFY2(objMessage.strText.startsWith("There are ") ||
                     objMessage.strText.startsWith("There is already a customer with ID") ||
                     objMessage.strText == "Please enter a Customer ID." ||
                     objMessage.strText == "Please Select a Customer from the List",
                 qPrintable(objMessage.strText));
    }
}

QTEST_MAIN(tst_frmCustomer)
#include "tst_frmCustomer.moc"
