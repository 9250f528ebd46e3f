#pragma once

#include <QAccessibleWidget>

class CFormWindow;

// A form's window as a screen reader should present it: a dialog while it is
// shown modally (its heading and other labels are then read when it opens),
// an application window otherwise.
class CFormWindowAccessible : public QAccessibleWidget
{
public:
    explicit CFormWindowAccessible(CFormWindow* pWindow);

    QAccessible::Role role() const override;
};
