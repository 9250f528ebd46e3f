#pragma once

#include <QString>

#include <functional>

class QMessageBox;

// The program's message box: modal, plain text, an OK button only, no icon.
// Without a title of its own it is titled with the program's name. It
// belongs to the window in front, which shows it.
class CMessageBox
{
public:
    static void Show(const QString& strText, const QString& strTitle = {});

    // While set, Show hands each box to this instead of displaying it, so
    // that tests never block on one.
    using Observer = std::function<void(const QMessageBox&)>;
    static void SetObserver(Observer fnObserver);

    static QString ApplicationTitle();
};
