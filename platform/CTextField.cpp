#include "CTextField.h"

#include "CMessageBox.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>

CTextField::CTextField(QWidget* pParent) : QLineEdit(pParent)
{
    setMaxLength(MaxLength);
    // Typing at the limit, and any way of adding text not checked below, end
    // here: what does not fit is not taken.
    connect(this, &QLineEdit::inputRejected, this, [this] { Refuse(qsizetype(MaxLength) + 1); });
}

bool CTextField::Fits(qsizetype intAdded, bool bReplacesSelection)
{
    const qsizetype intLength =
        text().size() + intAdded - (bReplacesSelection ? selectedText().size() : 0);
    if (intLength <= MaxLength)
        return true;
    Refuse(intLength);
    return false;
}

void CTextField::Refuse(qsizetype intLength)
{
    // Key repeat or a scanner may bring more text while the message waits.
    if (mbRefusing)
        return;
    mbRefusing = true;
    QMetaObject::invokeMethod(
        this,
        [this, intLength] {
            const QLocale objLocale;
            CMessageBox::Show(
                tr("A text box holds at most %1 characters; this one would have %2. "
                   "Its text was left as it was.")
                    .arg(objLocale.toString(MaxLength), objLocale.toString(intLength)));
            mbRefusing = false;
        },
        Qt::QueuedConnection);
}

bool CTextField::PasteFits(QClipboard::Mode enmMode, bool bReplacesSelection)
{
    return Fits(QGuiApplication::clipboard()->text(enmMode).size(), bReplacesSelection);
}

void CTextField::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->matches(QKeySequence::Paste) && !isReadOnly() &&
        !PasteFits(QClipboard::Clipboard, true)) {
        pEvent->accept();
        return;
    }
    QLineEdit::keyPressEvent(pEvent);
}

void CTextField::inputMethodEvent(QInputMethodEvent* pEvent)
{
    const qsizetype intAdded = pEvent->commitString().size() - pEvent->replacementLength();
    if (!isReadOnly() && intAdded > 0 && !Fits(intAdded, true)) {
        pEvent->accept();
        return;
    }
    QLineEdit::inputMethodEvent(pEvent);
}

void CTextField::contextMenuEvent(QContextMenuEvent* pEvent)
{
    const std::unique_ptr<QMenu> pMenu(createStandardContextMenu());
    // The menu's Paste is the action wired to paste(); it pastes through the
    // same check as the keys. QLineEdit wires it by name, so only the name
    // undoes it.
    for (QAction* pAction : pMenu->actions()) {
        if (disconnect(pAction, SIGNAL(triggered()), this, SLOT(paste())))
            connect(pAction, &QAction::triggered, this, [this] {
                if (PasteFits(QClipboard::Clipboard, true))
                    paste();
            });
    }
    pMenu->exec(pEvent->globalPos());
}

void CTextField::mouseReleaseEvent(QMouseEvent* pEvent)
{
    // A middle click pastes the selection of the window system at the
    // pointer, after taking away this box's own selection.
    if (pEvent->button() == Qt::MiddleButton && !isReadOnly() &&
        QGuiApplication::clipboard()->supportsSelection() &&
        rect().contains(pEvent->position().toPoint()) && !PasteFits(QClipboard::Selection, false)) {
        pEvent->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(pEvent);
}

void CTextField::dropEvent(QDropEvent* pEvent)
{
    const bool bMovedWithin = pEvent->source() == this && pEvent->dropAction() == Qt::MoveAction;
    const qsizetype intAdded =
        pEvent->mimeData()->hasText()
            ? pEvent->mimeData()->text().size() - (bMovedWithin ? selectedText().size() : 0)
            : 0;
    if (!isReadOnly() && intAdded > 0 && !Fits(intAdded, false)) {
        pEvent->ignore();
        // The caret that followed the drag goes back to where it was.
        QDragLeaveEvent objLeave;
        QLineEdit::dragLeaveEvent(&objLeave);
        return;
    }
    QLineEdit::dropEvent(pEvent);
}
