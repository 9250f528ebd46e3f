#pragma once

#include <QPointer>
#include <QString>

class QLineEdit;

class CTextBox
{
public:
    explicit CTextBox(QLineEdit* pEdit);

    QString Text() const;
    void setText(const QString& strText);
    void SetFocus();

private:
    QLineEdit& edit() const;
    QPointer<QLineEdit> mpEdit;
};
