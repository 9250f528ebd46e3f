#pragma once

#include <QClipboard>
#include <QLineEdit>

// The one-line text box of the forms. It holds up to MaxLength characters:
// a paste, drop or typing that would make its text longer is refused, the
// text stays as it was, and Refused tells why, for the user to be told.
class CTextField : public QLineEdit
{
    Q_OBJECT

public:
    // A line edit draws its whole text at each blink of the caret. Through
    // the real program (tests/e2e/test_big_paste.py, loaded machine), an idle
    // dialog took 3-4 % of a core with 100,000 characters in the focused box,
    // 1 % with 32,000 and none measurable with 10,000; pastes and commands
    // answered within 0.3 s at each of these lengths.
    static constexpr int MaxLength = 10'000;

    explicit CTextField(QWidget* pParent);

signals:
    // Text was refused; strMessage, stating the limit, is for the user. Once
    // per burst: a refusal while this one is being reported is not reported.
    void Refused(const QString& strMessage);

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void inputMethodEvent(QInputMethodEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    // Whether the text, with intAdded characters more and those of the
    // selection gone if bReplacesSelection, still fits; if not, the refusal
    // is reported once the event at hand is done.
    bool Fits(qsizetype intAdded, bool bReplacesSelection);
    void Refuse(qsizetype intLength);
    bool PasteFits(QClipboard::Mode enmMode, bool bReplacesSelection);

    bool mbRefusing = false;
    // The frame's colours, worked out from the palette once for each palette
    // rather than at every blink of the caret.
    QColor mobjBoundary;
    QColor mobjFocusFrame;
};
