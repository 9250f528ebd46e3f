#include "CMessageBox.h"

#include "CCentredBox.h"
#include "CKeyboardReturn.h"
#include "CModality.h"
#include "CWindowSystem.h"

#include <QEventLoop>
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
    std::unique_ptr<QMessageBox> pBox = std::make_unique<CCentredBox>(CModality::FrontWindow());
    pBox->setIcon(QMessageBox::NoIcon);
    pBox->setTextFormat(Qt::PlainText);
    pBox->setText(strText);
    pBox->setWindowTitle(strTitle.isEmpty() ? ApplicationTitle() : strTitle);
    pBox->setStandardButtons(QMessageBox::Ok);
    pBox->setDefaultButton(QMessageBox::Ok);
    pBox->setEscapeButton(QMessageBox::Ok);
    pBox->setWindowModality(CWindowSystem::DialogModality());
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
    if (pBox->windowModality() != Qt::NonModal) {
        pBox->exec();
        return;
    }
    // QDialog::exec would make the box modal Qt's way, and Qt would drop the
    // keys typed as it opens: the program blocks the windows beneath itself.
    const CModality::Showing objShowing(*pBox);
    QEventLoop objLoop;
    QObject::connect(pBox.get(), &QDialog::finished, &objLoop, &QEventLoop::quit);
    pBox->show();
    objLoop.exec(QEventLoop::DialogExec);
}
