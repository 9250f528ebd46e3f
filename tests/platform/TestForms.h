#pragma once

// The test forms that the runtime's tests and the desktop's share: frmTest,
// a window with one control of each kind, and frmModal, a small dialog.
#include <CError.h>
#include <CForm.h>
#include <CMessageBox.h>

#include "WindowTesting.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>

const ControlLayout gControls[] = {
    {ControlKind::Label, "lblName", "&Name", 100, 100, 900, 315, AlignRight},
    {ControlKind::TextBox, "txtName", nullptr, 1100, 100, 1500, 315},
    {ControlKind::CommandButton, "cmdGo", "&Go", 3000, 100, 1215, 495, DefaultButton},
    {ControlKind::CommandButton, "cmdStop", "&Stop", 3000, 700, 1215, 495, CancelButton},
    {ControlKind::CommandButton, "cmdLong", "&Display Customer Data", 3000, 1300, 1215, 495},
    {ControlKind::Frame, "Frame1", "Things", 360, 900, 1935, 1935},
    {ControlKind::ListBox, "lstThings", nullptr, 240, 360, 1335, 1230, Sorted, "Frame1"},
    {ControlKind::CommandButton, "cmdFail", "&Fail", 3000, 1900, 1215, 495},
};
const FormLayout gLayout = {"frmTest", "Test Form", 4635, 3900, gControls};

const ControlLayout gModalControls[] = {
    {ControlKind::TextBox, "txtField", nullptr, 100, 100, 1500, 315},
    {ControlKind::CommandButton, "cmdOK", "&OK", 1800, 100, 1215, 495, DefaultButton},
    {ControlKind::CommandButton, "cmdCancel", "&Cancel", 1800, 700, 1215, 495, CancelButton},
};
const FormLayout gModalLayout = {"frmModal", "Modal Form", 3200, 1400, gModalControls};

class frmModal : public CForm
{
public:
    frmModal() : CForm(gModalLayout)
    {
        OnClick("cmdOK", [this] { Hide(); });
        OnClick("cmdCancel", [this] { Hide(); });
    }

    using CForm::TextBox;
};

class frmTest : public CForm
{
public:
    frmTest() : CForm(gLayout)
    {
        OnClick("cmdGo", [this] { lstEvents << "Go"; });
        OnClick("cmdStop", [this] {
            lstEvents << "Stop";
            Hide();
        });
        OnClick("cmdLong", [this] { lstEvents << "Long"; });
        OnClick("cmdFail", [this] {
            lstEvents << "Fail";
            throw CError("The thing could not be done.");
        });
        OnDblClick("lstThings", [this] { lstEvents << "DblClick"; });
    }

    using CForm::CommandButton;
    using CForm::Label;
    using CForm::ListBox;
    using CForm::TextBox;
    QStringList lstEvents;

private:
    void Form_Load() override { lstEvents << "Load"; }
    void Form_Activate() override { lstEvents << "Activate"; }
    void Form_Unload() override { lstEvents << "Unload"; }
    void Form_QueryUnload() override
    {
        lstEvents << "QueryUnload";
        Hide();
    }
};

// A window whose text box stands in a frame it does not have.
const ControlLayout gBrokenControls[] = {
    {ControlKind::TextBox, "txtLost", nullptr, 100, 100, 1500, 315, NoFlags, "fraMissing"},
};
const FormLayout gBrokenLayout = {"frmBroken", "Broken Form", 3200, 1400, gBrokenControls};

class frmBroken : public CForm
{
public:
    frmBroken() : CForm(gBrokenLayout) {}
};

// Handlers bound to a control that has no such event, or to none at all.
class frmMisbound : public CForm
{
public:
    frmMisbound() : CForm(gModalLayout) {}

    void Bind(const QString& strHow)
    {
        if (strHow == u"double click on a button")
            OnDblClick("cmdOK", [] {});
        else if (strHow == u"click on a text box")
            OnClick("txtField", [] {});
        else
            OnClick("cmdMissing", [] {});
    }
};

// A start form that ends the program as it loads, as it shows, or once the
// event loop runs.
class frmEnding : public CForm
{
public:
    frmEnding() : CForm(gModalLayout) {}

    QString strWhen;

private:
    void Form_Load() override { endIf(u"load"); }
    void Form_Activate() override
    {
        endIf(u"activate");
        if (strWhen == u"in the event loop")
            QTimer::singleShot(0, qApp, [] { End(); });
    }
    void endIf(QStringView strStep)
    {
        if (strWhen == strStep)
            End();
    }
};

// A control of frmTest.
template <class T = QWidget> T& widget(const char* pszName)
{
    auto* pWidget = CForm::Get<frmTest>().Window()->findChild<T*>(pszName);
    Q_ASSERT(pWidget);
    return *pWidget;
}

// The base of the tests that run under frmTest: each test function starts
// with frmTest shown and active and no event recorded; every message box is
// recorded in mlstMessages (title, text) instead of shown.
class FormTestCase : public QObject
{
    Q_OBJECT

protected:
    QList<QPair<QString, QString>> mlstMessages;

private slots:
    void init()
    {
        mlstMessages.clear();
        CMessageBox::SetObserver([this](const QMessageBox& objBox) {
            mlstMessages.append({objBox.windowTitle(), objBox.text()});
        });
        CForm::Get<frmTest>().Show();
        QVERIFY(QTest::qWaitForWindowActive(CForm::Get<frmTest>().Window()));
        CForm::Get<frmTest>().lstEvents.clear();
    }

    void cleanup()
    {
        CMessageBox::SetObserver({});
        releaseForms();
    }
};
