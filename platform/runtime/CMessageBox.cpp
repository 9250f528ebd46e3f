#include "CMessageBox.h"

#include "CCentredBox.h"
#include "CModality.h"
#include "CModalLoop.h"
#include "CWindowSystem.h"

#include <QMessageBox>
#include <QPointer>
#include <QScopeGuard>

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

void CMessageBox::SetObserver(Observer fnObserver)
{
    observer() = std::move(fnObserver);
}

void CMessageBox::Show(const QString& strText, const QString& strTitle)
{
    // The box belongs to the window that shows it: centred over it, kept
    // above it by the window manager, and gone with it if that window goes
    // first. A box that no window shows is this call's alone.
    const QPointer<QMessageBox> pBox = new CCentredBox(CModality::FrontWindow());
    const auto objRelease = qScopeGuard([&pBox] { delete pBox.data(); });
    pBox->setIcon(QMessageBox::NoIcon);
    pBox->setTextFormat(Qt::PlainText);
    pBox->setText(strText);
    pBox->setWindowTitle(strTitle.isEmpty() ? ApplicationTitle() : strTitle);
    pBox->setStandardButtons(QMessageBox::Ok);
    pBox->setDefaultButton(QMessageBox::Ok);
    pBox->setEscapeButton(QMessageBox::Ok);
    pBox->setWindowModality(CWindowSystem::DialogModality());
    if (observer()) {
        observer()(*pBox);
        return;
    }
    CModalLoop::Run(*pBox, &QDialog::finished, [&pBox] { pBox->show(); });
}
