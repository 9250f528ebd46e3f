#include "CMessageBox.h"

#include "CCentredBox.h"
#include "CKeyboardReturn.h"
#include "CKeyboardRouter.h"

#include <QMessageBox>

namespace {
CMessageBox::Observer& observer()
{
    static CMessageBox::Observer fnObserver;
    return fnObserver;
}
} // namespace

QString CMessageBox::ApplicationTitle()
{
    return QStringLiteral("Corvale");
}

std::unique_ptr<QMessageBox> CMessageBox::Build(const QString& strText, const QString& strTitle)
{
    // The box belongs to the window that shows it: centred over it and kept
    // above it by the window manager.
    std::unique_ptr<QMessageBox> pBox =
        std::make_unique<CCentredBox>(CKeyboardRouter::FrontWindow());
    pBox->setIcon(QMessageBox::NoIcon);
    pBox->setTextFormat(Qt::PlainText);
    pBox->setText(strText);
    pBox->setWindowTitle(strTitle.isEmpty() ? ApplicationTitle() : strTitle);
    pBox->setStandardButtons(QMessageBox::Ok);
    pBox->setDefaultButton(QMessageBox::Ok);
    pBox->setEscapeButton(QMessageBox::Ok);
    pBox->setWindowModality(Qt::ApplicationModal);
    return pBox;
}

void CMessageBox::SetObserver(Observer fnObserver)
{
    observer() = std::move(fnObserver);
}

void CMessageBox::Show(const QString& strText, const QString& strTitle)
{
    const auto pBox = Build(strText, strTitle);
    if (observer()) {
        observer()(*pBox);
        return;
    }
    const CKeyboardReturn objKeyboardReturn;
    pBox->exec();
}
