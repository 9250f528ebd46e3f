#pragma once

#include <QString>

#include <exception>

// The one failure type of the program. It carries a message written for the
// person at the desk, because that message is what the platform shows when a
// failure reaches an event handler.
class CError : public std::exception
{
public:
    explicit CError(QString strMessage);

    const QString& Message() const noexcept { return mstrMessage; }
    const char* what() const noexcept override { return mbaWhat.constData(); }

private:
    QString mstrMessage;
    QByteArray mbaWhat;
};
