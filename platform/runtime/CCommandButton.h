#pragma once

#include <QPointer>

class QPushButton;

class CCommandButton
{
public:
    explicit CCommandButton(QPushButton* pButton);

    bool Visible() const;
    void setVisible(bool bVisible);

private:
    QPushButton& button() const;
    QPointer<QPushButton> mpButton;
};
