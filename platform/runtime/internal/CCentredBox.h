#pragma once

#include <QMessageBox>

// A message box whose frame stands centred over its owner's frame, which
// QDialog's own placement gets wrong under a window manager: it guesses the
// frame from other windows and falls back to 10 by 40 px. Where the window
// system places windows itself (Wayland), it is an ordinary message box.
class CCentredBox : public QMessageBox
{
    Q_OBJECT

public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* pEvent) override;
};
