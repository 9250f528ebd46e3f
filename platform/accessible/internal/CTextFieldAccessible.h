#pragma once

#include <QAccessibleWidget>

class CTextField;

// A text box as a screen reader should read it. Unlike Qt's own description
// of a line edit, each text attribute run spans the whole text (a run of no
// length makes Orca drop the line's last character), and a NUL character is
// shown by its visible symbol instead of ending the text.
class CTextFieldAccessible : public QAccessibleWidget,
                             public QAccessibleTextInterface,
                             public QAccessibleEditableTextInterface
{
public:
    explicit CTextFieldAccessible(CTextField* pField);

    void* interface_cast(QAccessible::InterfaceType enmType) override;
    QString text(QAccessible::Text enmText) const override;
    void setText(QAccessible::Text enmText, const QString& strText) override;
    QAccessible::State state() const override;

    void selection(int intSelection, int* pintStart, int* pintEnd) const override;
    int selectionCount() const override;
    void addSelection(int intStart, int intEnd) override;
    void removeSelection(int intSelection) override;
    void setSelection(int intSelection, int intStart, int intEnd) override;
    int cursorPosition() const override;
    void setCursorPosition(int intPosition) override;
    QString text(int intStart, int intEnd) const override;
    int characterCount() const override;
    QRect characterRect(int intOffset) const override;
    int offsetAtPoint(const QPoint& ptScreen) const override;
    void scrollToSubstring(int intStart, int intEnd) override;
    QString attributes(int intOffset, int* pintStart, int* pintEnd) const override;

    void deleteText(int intStart, int intEnd) override;
    void insertText(int intOffset, const QString& strText) override;
    void replaceText(int intStart, int intEnd, const QString& strText) override;

private:
    CTextField& field() const;
};
