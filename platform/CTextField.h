#pragma once

#include <QLineEdit>

// The one-line text box of the forms. It takes text of any length that the
// program can hold.
class CTextField : public QLineEdit
{
    Q_OBJECT

public:
    explicit CTextField(QWidget* pParent);
};
