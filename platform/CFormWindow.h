#pragma once

#include <QWidget>

#include <functional>

class QPushButton;

// The top-level window of a form. Enter presses the default button unless
// the focus is on another button, Esc the cancel button; the window frame's
// close request goes to the form instead of closing the window.
class CFormWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CFormWindow(std::function<void()> fnCloseRequested);

    void SetDefaultButton(QPushButton* pButton) { mpDefault = pButton; }
    void SetCancelButton(QPushButton* pButton) { mpCancel = pButton; }

signals:
    void Hidden();

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;

private:
    std::function<void()> mfnCloseRequested;
    QPushButton* mpDefault = nullptr;
    QPushButton* mpCancel = nullptr;
};
