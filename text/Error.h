#pragma once
#include <QString>
#include <stdexcept>

// The one exception type of the program. Handlers let it through; the error box
// shows its message (with a full stop appended where needed).
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &message() const { return m_message; }

private:
    QString m_message;
};
