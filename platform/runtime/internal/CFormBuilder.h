#pragma once

#include "CForm.h"

#include <QString>

#include <functional>
#include <memory>
#include <span>

class CFormWindow;

// Builds a form's window from its layout table: each control named as in
// the table and in its tab order; a label names the control after it and
// takes the focus there by its access key; the default and cancel buttons;
// the form's handlers bound to their controls' events.
class CFormBuilder
{
public:
    // Fails, leaving nothing behind, where the table or a binding names a
    // control that is not there, or an event its control does not have.
    static std::unique_ptr<CFormWindow> Build(const FormLayout& objLayout,
                                              std::span<const CForm::Binding> lstBindings,
                                              std::function<void()> fnCloseRequested);

    // The failure of asking a window for a control it does not have.
    static QString NoControl(const char* pszName);
};
