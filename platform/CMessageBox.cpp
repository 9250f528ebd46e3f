#include "CMessageBox.h"

#include "CKeyboardReturn.h"
#include "CKeyboardRouter.h"

#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>

namespace {
QMargins frameOf(const QWidget& objWindow)
{
    const QWindow* pWindow = objWindow.windowHandle();
    return pWindow ? pWindow->frameMargins() : QMargins();
}

// A message box whose frame stands centred over its owner's frame, which
// QDialog's own placement gets wrong under a window manager: it guesses the
// frame from other windows and falls back to 10 by 40 px.
class CCentredBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* pEvent) override
    {
        QMessageBox::showEvent(pEvent); // fixes the box's size
        if (pEvent->spontaneous() || !parentWidget())
            return;
        mobjGuess = frameOf(*parentWidget()->window());
        centre(mobjGuess);
        QTimer::singleShot(25, this, [this] { recentreOnceFramed(40); });
    }

private:
    void centre(const QMargins& objFrame)
    {
        const QWidget* pOwner = parentWidget()->window();
        QRect rctFrame(QPoint(), size().grownBy(objFrame));
        rctFrame.moveCenter(pOwner->frameGeometry().center());
        if (const QScreen* pScreen = pOwner->screen()) {
            const QRect rctScreen = pScreen->availableGeometry();
            rctFrame.moveLeft(qBound(rctScreen.left(), rctFrame.left(),
                                     qMax(rctScreen.left(), rctScreen.right() - rctFrame.width() + 1)));
            rctFrame.moveTop(qBound(rctScreen.top(), rctFrame.top(),
                                    qMax(rctScreen.top(), rctScreen.bottom() - rctFrame.height() + 1)));
        }
        setGeometry(rctFrame.marginsRemoved(objFrame));
    }

    void recentreOnceFramed(int intTriesLeft)
    {
        if (!isVisible())
            return;
        const QMargins objFrame = frameOf(*this);
        if (objFrame.isNull()) {
            if (intTriesLeft > 0)
                QTimer::singleShot(25, this, [this, intTriesLeft] {
                    recentreOnceFramed(intTriesLeft - 1);
                });
            return;
        }
        if (objFrame != mobjGuess)
            centre(objFrame);
    }

    QMargins mobjGuess;
};

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
    std::unique_ptr<QMessageBox> pBox = std::make_unique<CCentredBox>(CKeyboardRouter::FrontWindow());
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
