#pragma once

#include <CForm.h>

// The start window: the sorted list of customer IDs and the five commands.
class frmMain : public CForm
{
public:
    frmMain();

    // The customer dialog keeps this list in step with its store.
    CListBox lstCustomer() { return ListBox("lstCustomer"); }

private:
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdDisplay_Click();
    void cmdCount_Click();
    void cmdExit_Click();
    void lstCustomer_DblClick();
    void Form_QueryUnload() override;

    bool hasSelection();
};
