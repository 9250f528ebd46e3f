#include "frmMain.h"

#include "frmCustomer.h"

#include <CMessageBox.h>

#include <QCoreApplication>

namespace {
const ControlLayout gControls[] = {
    {ControlKind::CommandButton, "cmdAdd", "&Add Customer", 3000, 240, 1215, 495, DefaultButton},
    {ControlKind::CommandButton, "cmdRemove", "&Remove Customer", 3000, 960, 1215, 495},
    {ControlKind::CommandButton, "cmdDisplay", "&Display Customer Data", 3000, 1680, 1215, 495},
    {ControlKind::CommandButton, "cmdExit", "E&xit", 3000, 3120, 1215, 495},
    {ControlKind::Frame, "Frame1", "Customer List", 360, 480, 1935, 1935},
    {ControlKind::ListBox, "lstCustomer", nullptr, 240, 360, 1335, 1230, Sorted, "Frame1"},
    {ControlKind::CommandButton, "cmdCount", "&Number of Customers", 3000, 2400, 1215, 495},
};

const FormLayout gLayout = {"frmMain", "Parcelwick - Customer Information", 4635, 3900, gControls};

QString tr(const char* pszText)
{
    return QCoreApplication::translate("frmMain", pszText);
}
} // namespace

frmMain::frmMain() : CForm(gLayout)
{
    OnClick("cmdAdd", [this] { cmdAdd_Click(); });
    OnClick("cmdRemove", [this] { cmdRemove_Click(); });
    OnClick("cmdDisplay", [this] { cmdDisplay_Click(); });
    OnClick("cmdCount", [this] { cmdCount_Click(); });
    OnClick("cmdExit", [this] { cmdExit_Click(); });
    OnDblClick("lstCustomer", [this] { lstCustomer_DblClick(); });
}

bool frmMain::hasSelection()
{
    if (lstCustomer().ListIndex() != -1)
        return true;
    CMessageBox::Show(tr("Please Select a Customer from the List"), tr("Input Requested"));
    return false;
}

void frmMain::cmdAdd_Click()
{
    frmCustomer& objCustomer = Get<frmCustomer>();
    objCustomer.setAction(QStringLiteral("A"));
    objCustomer.ShowModal();
    lstCustomer().setListIndex(-1);
}

void frmMain::cmdRemove_Click()
{
    if (!hasSelection())
        return;
    frmCustomer& objCustomer = Get<frmCustomer>();
    objCustomer.setKey(lstCustomer().List(lstCustomer().ListIndex()));
    objCustomer.setAction(QStringLiteral("R"));
    objCustomer.ShowModal();
    lstCustomer().setListIndex(-1);
}

void frmMain::cmdDisplay_Click()
{
    if (!hasSelection())
        return;
    frmCustomer& objCustomer = Get<frmCustomer>();
    objCustomer.cmdCancel().setVisible(false);
    objCustomer.setKey(lstCustomer().List(lstCustomer().ListIndex()));
    objCustomer.setAction(QStringLiteral("D"));
    objCustomer.ShowModal();
    lstCustomer().setListIndex(-1);
    objCustomer.cmdCancel().setVisible(true);
}

void frmMain::cmdCount_Click()
{
    // Counted as 32 bits: a shop may well have more than 32,767 customers.
    const int intCount = lstCustomer().ListCount();
    CMessageBox::Show(tr("There are ") + QString::number(intCount) + tr(" customers."));
}

void frmMain::cmdExit_Click()
{
    Get<frmCustomer>().Unload();
    Unload();
    End();
}

void frmMain::lstCustomer_DblClick()
{
    cmdDisplay_Click();
}

void frmMain::Form_QueryUnload()
{
    // Closing the start window ends the program as Exit does; otherwise a
    // hidden customer dialog would keep an invisible program running.
    cmdExit_Click();
}
