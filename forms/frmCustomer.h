#pragma once

#include <CCustomers.h>
#include <CForm.h>

#include <QString>

#include <memory>

// The customer dialog: adds a customer, shows one before removing it, or
// displays one, as the main window's action code says. It owns the store and
// keeps the main window's list in step with it.
class frmCustomer : public CForm
{
public:
    frmCustomer();
    ~frmCustomer() override;

    void setKey(const QString& strKey) { mstrKey = strKey; }
    void setAction(const QString& strAction) { mstrAction = strAction; }

    CCommandButton cmdCancel() { return CommandButton("cmdCancel"); }

    // The store while the dialog is loaded, else nullptr. Read-only, for tests.
    const CCustomers* Customers() const { return mobjCustomers.get(); }

private:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload() override;
    void Form_QueryUnload() override;
    void cmdOK_Click();
    void cmdCancel_Click();

    void FillFields();
    void ClearFields();

    CTextBox txtID() { return TextBox("txtID"); }
    CTextBox txtLastName() { return TextBox("txtLastName"); }
    CTextBox txtFirstName() { return TextBox("txtFirstName"); }
    CTextBox txtAddress() { return TextBox("txtAddress"); }
    CTextBox txtCity() { return TextBox("txtCity"); }
    CTextBox txtState() { return TextBox("txtState"); }
    CTextBox txtZipCode() { return TextBox("txtZipCode"); }
    CLabel lblCommand() { return Label("lblCommand"); }

    std::unique_ptr<CCustomers> mobjCustomers;
    QString mstrKey;
    QString mstrAction;
};
