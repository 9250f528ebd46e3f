#include "frmCustomer.h"

#include "frmMain.h"

#include <CVisibleText.h>

#include <QCoreApplication>

namespace {
const ControlLayout gControls[] = {
    {ControlKind::Label, "Label5", "C&ustomer ID", 480, 960, 1005, 315, AlignRight},
    {ControlKind::TextBox, "txtID", nullptr, 1680, 960, 1215, 315},
    {ControlKind::Label, "Label1", "&Last Name", 480, 1440, 1005, 315, AlignRight},
    {ControlKind::TextBox, "txtLastName", nullptr, 1680, 1440, 1215, 315},
    {ControlKind::Label, "Label2", "&First Name", 480, 1920, 1005, 315, AlignRight},
    {ControlKind::TextBox, "txtFirstName", nullptr, 1680, 1920, 1215, 315},
    {ControlKind::Label, "Label3", "&Address", 480, 2400, 1005, 315, AlignRight},
    {ControlKind::TextBox, "txtAddress", nullptr, 1680, 2400, 1215, 315},
    {ControlKind::Label, "Label4", "C&ity", 480, 2880, 1005, 315, AlignRight},
    {ControlKind::TextBox, "txtCity", nullptr, 1680, 2880, 1215, 315},
    {ControlKind::Label, "Label6", "&State", 360, 3360, 1215, 315, AlignRight},
    {ControlKind::TextBox, "txtState", nullptr, 1680, 3360, 1215, 315},
    {ControlKind::Label, "Label7", "&Zip Code", 360, 3840, 1215, 315, AlignRight},
    {ControlKind::TextBox, "txtZipCode", nullptr, 1680, 3840, 1215, 315},
    {ControlKind::CommandButton, "cmdOK", "&OK", 3240, 960, 1215, 495, DefaultButton},
    {ControlKind::CommandButton, "cmdCancel", "&Cancel", 3240, 1680, 1215, 495, CancelButton},
    {ControlKind::Label, "lblCommand", "", 840, 240, 2895, 315, AlignCenter | Bold, nullptr, 12},
};

const FormLayout gLayout = {"frmCustomer", "Customer Data Form", 4680, 4365, gControls};

QString tr(const char* pszText)
{
    return QCoreApplication::translate("frmCustomer", pszText);
}
} // namespace

frmCustomer::frmCustomer() : CForm(gLayout)
{
    OnClick("cmdOK", [this] { cmdOK_Click(); });
    OnClick("cmdCancel", [this] { cmdCancel_Click(); });
}

frmCustomer::~frmCustomer() = default;

void frmCustomer::Form_Load()
{
    mobjCustomers = std::make_unique<CCustomers>();
}

void frmCustomer::Form_Activate()
{
    if (mstrAction == u"A") {
        lblCommand().setCaption(tr("Add New Customer Info"));
        ClearFields();
        txtID().SetFocus();
    } else if (mstrAction == u"R") {
        lblCommand().setCaption(tr("Remove this record?"));
        FillFields();
    } else if (mstrAction == u"D") {
        lblCommand().setCaption(tr("Customer Data Display"));
        FillFields();
    }
}

void frmCustomer::FillFields()
{
    const std::shared_ptr<CCustomer> objCustomer = mobjCustomers->Item(mstrKey);
    txtID().setText(objCustomer->CustomerID());
    txtLastName().setText(objCustomer->LastName());
    txtFirstName().setText(objCustomer->FirstName());
    txtAddress().setText(objCustomer->Address());
    txtCity().setText(objCustomer->City());
    txtState().setText(objCustomer->State());
    txtZipCode().setText(objCustomer->ZipCode());
}

void frmCustomer::ClearFields()
{
    txtID().setText({});
    txtLastName().setText({});
    txtFirstName().setText({});
    txtAddress().setText({});
    txtCity().setText({});
    txtState().setText({});
    txtZipCode().setText({});
}

void frmCustomer::cmdOK_Click()
{
    // The store changes first: when it refuses (a repeated or an empty ID)
    // the list stays as it was and the dialog stays open, with every text
    // still as typed, for the user to correct or cancel.
    if (mstrAction == u"A") {
        const QString strCustomerId = txtID().Text();
        mobjCustomers->Add(strCustomerId, txtLastName().Text(), txtFirstName().Text(),
                           txtAddress().Text(), txtCity().Text(), txtState().Text(),
                           txtZipCode().Text());
        // The list entry shares the stored ID's text instead of a copy of its own.
        Get<frmMain>().lstCustomer().AddItem(mobjCustomers->Item(strCustomerId)->CustomerID());
        Get<frmMain>().Announce(tr("Customer %1 added").arg(CVisibleText::Quoted(strCustomerId)));
    } else if (mstrAction == u"R") {
        mobjCustomers->Remove(mstrKey);
        CListBox lstCustomer = Get<frmMain>().lstCustomer();
        lstCustomer.RemoveItem(lstCustomer.ListIndex());
        Get<frmMain>().Announce(tr("Customer %1 removed").arg(CVisibleText::Quoted(mstrKey)));
    }
    Hide();
}

void frmCustomer::cmdCancel_Click()
{
    Hide();
}

void frmCustomer::Form_QueryUnload()
{
    // Closing by the frame cancels: unloading would take every record with it
    // while the main list keeps their IDs.
    cmdCancel_Click();
}

void frmCustomer::Form_Unload()
{
    mobjCustomers.reset();
}
