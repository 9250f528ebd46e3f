#pragma once

#include <QWidget>

#include <functional>

class QPushButton;

// The top-level window of a form. Enter presses the default button unless
// the focus is on another button, Esc the cancel button; the window frame's
// close request goes to the form instead of closing the window. The window
// opens centred on the screen, frame included, where the window system lets
// the program place its windows.
class CFormWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CFormWindow(std::function<void()> fnCloseRequested);

    void SetDefaultButton(QPushButton* pButton) { mpDefault = pButton; }
    void SetCancelButton(QPushButton* pButton) { mpCancel = pButton; }

    // Makes the window a modal dialog of pOwner: the window manager keeps it
    // above its owner, lists only the owner in taskbars and never lets it be
    // minimized on its own. Qt is told it is modal where the program does
    // not block the other windows itself (CModality).
    void BecomeDialogOf(QWidget* pOwner);

signals:
    // The program hid the window; the window system hiding it to show it
    // anew does not count.
    void Hidden();

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void setVisible(bool bVisible) override;
    void showEvent(QShowEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    std::function<void()> mfnCloseRequested;
    QPushButton* mpDefault = nullptr;
    QPushButton* mpCancel = nullptr;
    bool mbPlaced = false;
};
