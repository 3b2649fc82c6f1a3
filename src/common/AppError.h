#pragma once
#include <exception>
#include <QString>

// The program's failures are exceptions carrying one message text in Japanese; the application's
// default handler shows that text in an error box and abandons the user's action.
class AppError : public std::exception
{
public:
    explicit AppError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A failure reported by the storage engine (no connection, bad statement, lock, duplicate key).
class EngineError : public AppError
{
public:
    using AppError::AppError;
};

// A text that does not convert to the number or date the caller asked for.
class ConvertError : public AppError
{
public:
    using AppError::AppError;
};
