#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// A failure of the translation tools: a file that does not read or write,
// an option that makes no sense. The message is the text the user sees.
class TranslationError : public std::exception
{
public:
    explicit TranslationError(const QString &message)
        : m_message(message)
        , m_utf8(message.toUtf8())
    {
    }
    const char *what() const noexcept override { return m_utf8.constData(); }
    QString message() const { return m_message; }

private:
    QString m_message;
    QByteArray m_utf8;
};
