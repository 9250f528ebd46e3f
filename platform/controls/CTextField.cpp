#include "CTextField.h"

#include "CReadablePalette.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QPainter>
#include <QValidator>

#include <functional>
#include <limits>

namespace {
// Sees each change a person makes to the text before the box keeps it,
// whichever way the text came in and however a Qt version wires that way
// (typing, the context menu's Paste, an assistive technology): QLineEdit
// undoes a change its validator calls Invalid.
class LengthValidator : public QValidator
{
public:
    LengthValidator(std::function<void(qsizetype)> fnRefuse, QObject* pParent)
        : QValidator(pParent), mfnRefuse(std::move(fnRefuse))
    {}

    State validate(QString& strInput, int&) const override
    {
        if (strInput.size() <= CTextField::MaxLength)
            return Acceptable;
        mfnRefuse(strInput.size());
        return Invalid;
    }

private:
    std::function<void(qsizetype)> mfnRefuse;
};
} // namespace

CTextField::CTextField(QWidget* pParent) : QLineEdit(pParent)
{
    // QLineEdit's own limit would cut what comes in short, silently; the
    // validator refuses it whole. The checks below refuse the usual ways
    // before any text is copied.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new LengthValidator([this](qsizetype intLength) { Refuse(intLength); }, this));
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
    // Key repeat or a scanner may bring more text while the refusal is
    // being reported.
    if (mbRefusing)
        return;
    mbRefusing = true;
    QMetaObject::invokeMethod(
        this,
        [this, intLength] {
            const QLocale objLocale;
            emit Refused(tr("A text box holds at most %1 characters; this one would have %2. "
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

// Styles draw a text box's frame a shade off the window's colour, too faint to
// find an empty box by (2:1 in Fusion); the box draws its own boundary, and a
// thicker one while it has the keyboard.
void CTextField::paintEvent(QPaintEvent* pEvent)
{
    QLineEdit::paintEvent(pEvent);
    if (!mobjBoundary.isValid()) {
        mobjBoundary = CReadablePalette::Boundary(palette());
        mobjFocusFrame = CReadablePalette::FocusFrame(palette());
    }
    const bool bFocus = hasFocus();
    const qreal dblWidth = bFocus ? 2.0 : 1.0;
    QPainter objPainter(this);
    objPainter.setRenderHint(QPainter::Antialiasing);
    objPainter.setPen(QPen(bFocus ? mobjFocusFrame : mobjBoundary, dblWidth));
    objPainter.setBrush(Qt::NoBrush);
    const qreal dblInset = dblWidth / 2;
    objPainter.drawRoundedRect(QRectF(rect()).adjusted(dblInset, dblInset, -dblInset, -dblInset), 2,
                               2);
}

void CTextField::changeEvent(QEvent* pEvent)
{
    QLineEdit::changeEvent(pEvent);
    if (pEvent->type() == QEvent::PaletteChange)
        mobjBoundary = mobjFocusFrame = QColor();
}
