#pragma once

#include <QString>

// The outcome of an operation that can fail in a way the user must be told
// about: either success, or a French message ready to be shown as it stands.
class [[nodiscard]] Status
{
public:
    static Status success() { return Status(); }
    static Status failure(QString message) { return Status(std::move(message)); }

    bool ok() const { return m_message.isEmpty(); }
    explicit operator bool() const { return ok(); }
    const QString &message() const { return m_message; }

private:
    Status() = default;
    explicit Status(QString message)
        : m_message(message.isEmpty() ? QStringLiteral("Erreur inconnue.") : std::move(message))
    {
    }

    QString m_message;
};
