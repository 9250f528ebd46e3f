#include "CTextFieldAccessible.h"

#include "CTextField.h"

#include <QFontMetrics>

#include <algorithm>

namespace {
// What a screen reader is given to read: a NUL would end the text there, so
// it is replaced by the symbol for it, which keeps every offset.
QString spoken(QString strText)
{
    return strText.replace(QChar(u'\0'), QChar(u'\x2400'));
}
} // namespace

CTextFieldAccessible::CTextFieldAccessible(CTextField* pField)
    : QAccessibleWidget(pField, QAccessible::EditableText)
{}

CTextField& CTextFieldAccessible::field() const
{
    return *static_cast<CTextField*>(widget());
}

void* CTextFieldAccessible::interface_cast(QAccessible::InterfaceType enmType)
{
    if (enmType == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (enmType == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(enmType);
}

QString CTextFieldAccessible::text(QAccessible::Text enmText) const
{
    if (enmText != QAccessible::Value)
        return QAccessibleWidget::text(enmText);
    return spoken(field().echoMode() == QLineEdit::Normal ? field().text() : field().displayText());
}

void CTextFieldAccessible::setText(QAccessible::Text enmText, const QString& strText)
{
    if (enmText != QAccessible::Value) {
        QAccessibleWidget::setText(enmText, strText);
        return;
    }
    if (!field().isReadOnly()) {
        field().selectAll();
        field().insert(strText);
    }
}

QAccessible::State CTextFieldAccessible::state() const
{
    QAccessible::State objState = QAccessibleWidget::state();
    objState.readOnly = field().isReadOnly();
    objState.editable = !field().isReadOnly();
    objState.passwordEdit = field().echoMode() != QLineEdit::Normal;
    objState.selectableText = true;
    return objState;
}

void CTextFieldAccessible::selection(int intSelection, int* pintStart, int* pintEnd) const
{
    *pintStart = *pintEnd = 0;
    if (intSelection != 0 || !field().hasSelectedText())
        return;
    *pintStart = field().selectionStart();
    *pintEnd = field().selectionEnd();
}

int CTextFieldAccessible::selectionCount() const
{
    return field().hasSelectedText() ? 1 : 0;
}

void CTextFieldAccessible::addSelection(int intStart, int intEnd)
{
    setSelection(0, intStart, intEnd);
}

void CTextFieldAccessible::removeSelection(int intSelection)
{
    if (intSelection == 0)
        field().deselect();
}

void CTextFieldAccessible::setSelection(int intSelection, int intStart, int intEnd)
{
    if (intSelection == 0)
        field().setSelection(intStart, intEnd - intStart);
}

int CTextFieldAccessible::cursorPosition() const
{
    return field().cursorPosition();
}

void CTextFieldAccessible::setCursorPosition(int intPosition)
{
    field().setCursorPosition(intPosition);
}

QString CTextFieldAccessible::text(int intStart, int intEnd) const
{
    const QString strText = field().text();
    if (intEnd < 0 || intEnd > strText.size())
        intEnd = int(strText.size());
    intStart = std::clamp(intStart, 0, intEnd);
    return spoken(strText.mid(intStart, intEnd - intStart));
}

int CTextFieldAccessible::characterCount() const
{
    return int(field().text().size());
}

QRect CTextFieldAccessible::characterRect(int intOffset) const
{
    // Measured from the caret, the one place whose position QLineEdit tells.
    const QString strText = field().text();
    if (intOffset < 0 || intOffset >= strText.size())
        return {};
    const QRect rctCaret = field().inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QFontMetrics objMetrics(field().font());
    const int intCaret = field().cursorPosition();
    int intX = rctCaret.x();
    if (intOffset < intCaret)
        intX -= objMetrics.horizontalAdvance(strText.mid(intOffset, intCaret - intOffset));
    else
        intX += objMetrics.horizontalAdvance(strText.mid(intCaret, intOffset - intCaret));
    const QRect rctCharacter(
        intX, rctCaret.y(), objMetrics.horizontalAdvance(strText.at(intOffset)), rctCaret.height());
    return rctCharacter.translated(field().mapToGlobal(QPoint(0, 0)));
}

int CTextFieldAccessible::offsetAtPoint(const QPoint& ptScreen) const
{
    return field().cursorPositionAt(field().mapFromGlobal(ptScreen));
}

void CTextFieldAccessible::scrollToSubstring(int intStart, int intEnd)
{
    field().setCursorPosition(intEnd);
    field().setCursorPosition(intStart);
}

QString CTextFieldAccessible::attributes(int intOffset, int* pintStart, int* pintEnd) const
{
    // The whole text is in the one font and colour of the box.
    (void)intOffset;
    *pintStart = 0;
    *pintEnd = characterCount();
    return {};
}

void CTextFieldAccessible::deleteText(int intStart, int intEnd)
{
    replaceText(intStart, intEnd, {});
}

void CTextFieldAccessible::insertText(int intOffset, const QString& strText)
{
    replaceText(intOffset, intOffset, strText);
}

void CTextFieldAccessible::replaceText(int intStart, int intEnd, const QString& strText)
{
    if (field().isReadOnly())
        return;
    // As typed: through the box's check of its length, and undoable.
    intEnd = std::clamp(intEnd, 0, int(field().text().size()));
    intStart = std::clamp(intStart, 0, intEnd);
    field().setSelection(intStart, intEnd - intStart);
    field().insert(strText);
}
