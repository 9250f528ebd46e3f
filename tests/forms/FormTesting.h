#pragma once

// Helpers for driving the real windows in tests: message boxes are recorded
// instead of shown, and the customer dialog's modal show is answered from a
// timer while the command that opened it waits.
#include "WindowTesting.h"

#include <CForm.h>
#include <CMessageBox.h>
#include <frmCustomer.h>
#include <frmMain.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>

struct Message
{
    QString strTitle;
    QString strText;
    bool operator==(const Message&) const = default;
};

inline char* toString(const Message& objMessage)
{
    return QTest::toString(objMessage.strTitle + ": " + objMessage.strText);
}

class MessageRecorder
{
public:
    MessageRecorder()
    {
        CMessageBox::SetObserver([this](const QMessageBox& objBox) {
            lstMessages.append({objBox.windowTitle(), objBox.text()});
        });
    }
    ~MessageRecorder() { CMessageBox::SetObserver({}); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    QList<Message> takeAll() { return std::exchange(lstMessages, {}); }

    QList<Message> lstMessages;
};

// Shows the main window as the program starts.
inline void showMainWindow()
{
    CForm::Get<frmMain>().Show();
    QVERIFY(QTest::qWaitForWindowActive(CForm::Get<frmMain>().Window()));
}

template <class TForm, class TWidget = QWidget> TWidget& control(const char* pszName)
{
    CForm& objForm = CForm::Get<TForm>();
    objForm.Load();
    auto* pWidget = objForm.Window()->findChild<TWidget*>(QString::fromUtf8(pszName));
    if (!pWidget)
        qFatal("no control %s", pszName);
    return *pWidget;
}

inline QAbstractButton& mainButton(const char* pszName)
{
    return control<frmMain, QAbstractButton>(pszName);
}

inline QAbstractButton& dialogButton(const char* pszName)
{
    return control<frmCustomer, QAbstractButton>(pszName);
}

inline QLineEdit& dialogBox(const char* pszName)
{
    return control<frmCustomer, QLineEdit>(pszName);
}

inline QListView& mainList()
{
    return control<frmMain, QListView>("lstCustomer");
}

// Runs fnCommand, which may open the customer dialog modally; once the dialog
// shows and has the keyboard, fnInDialog runs inside its modal loop and must
// close it. Returns whether the dialog was shown; by then the main window has
// the keyboard back.
inline bool withDialog(const std::function<void()>& fnCommand,
                       const std::function<void()>& fnInDialog)
{
    bool bShown = false;
    QTimer objPoll;
    objPoll.setInterval(0);
    QObject::connect(&objPoll, &QTimer::timeout, [&] {
        CForm& objDialog = CForm::Get<frmCustomer>();
        if (!objDialog.IsVisible() || QApplication::activeWindow() != objDialog.Window())
            return;
        objPoll.stop();
        bShown = true;
        checkInModalLoop(fnInDialog);
    });
    objPoll.start();
    fnCommand();
    objPoll.stop();
    if (bShown && CForm::Get<frmMain>().IsVisible() &&
        !QTest::qWaitForWindowActive(CForm::Get<frmMain>().Window()))
        qWarning("The main window did not get the keyboard back.");
    return bShown;
}

// The seven text boxes of the dialog, in tab order.
inline const char* const gFields[] = {"txtID",   "txtLastName", "txtFirstName", "txtAddress",
                                      "txtCity", "txtState",    "txtZipCode"};

inline QStringList dialogTexts()
{
    QStringList lstTexts;
    for (const char* pszName : gFields)
        lstTexts << dialogBox(pszName).text();
    return lstTexts;
}

inline void typeIntoDialog(const QStringList& lstTexts)
{
    for (int i = 0; i < 7; ++i)
        dialogBox(gFields[i]).setText(lstTexts.value(i));
}

inline QStringList listEntries()
{
    CListBox lstCustomer = CForm::Get<frmMain>().lstCustomer();
    QStringList lstEntries;
    for (int i = 0; i < lstCustomer.ListCount(); ++i)
        lstEntries << lstCustomer.List(i);
    return lstEntries;
}

inline bool selectEntry(const QString& strId)
{
    CListBox lstCustomer = CForm::Get<frmMain>().lstCustomer();
    for (int i = 0; i < lstCustomer.ListCount(); ++i) {
        if (lstCustomer.List(i) == strId) {
            lstCustomer.setListIndex(i);
            return true;
        }
    }
    return false;
}

// Adds a customer through the dialog, pressing OK; cancels if OK was refused.
inline void addCustomer(const QStringList& lstTexts)
{
    withDialog([] { mainButton("cmdAdd").click(); },
               [&] {
                   typeIntoDialog(lstTexts);
                   dialogButton("cmdOK").click();
                   if (CForm::Get<frmCustomer>().IsVisible())
                       dialogButton("cmdCancel").click();
               });
}

inline QStringList storedKeys()
{
    QStringList lstKeys;
    if (const CCustomers* pStore = CForm::Get<frmCustomer>().Customers()) {
        for (const auto& objCustomer : *pStore)
            lstKeys << objCustomer->CustomerID();
    }
    return lstKeys;
}
