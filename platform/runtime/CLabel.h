#pragma once

#include <QPointer>
#include <QString>

class QLabel;

class CLabel
{
public:
    explicit CLabel(QLabel* pLabel);

    QString Caption() const;
    void setCaption(const QString& strCaption);

private:
    QLabel& label() const;
    QPointer<QLabel> mpLabel;
};
