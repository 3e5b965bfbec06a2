#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Reads JSON (RFC 8259) a value at a time, for files too large to be worth a
// document tree: the caller walks objects and arrays, taking the values it
// knows and skipping the rest. A fault fails with a JsonError that says what
// and where, as line and column.
class JsonReader
{
public:
    struct Error
    {
        QString message; // "an unterminated string at line 3, column 14"
    };

    // Reads from the start of the bytes, or from an offset taken earlier.
    explicit JsonReader(const QByteArray &bytes, qsizetype offset = 0);
    // Where the next value starts, for reading it again later.
    qsizetype offset();

    enum class Type { Object, Array, String, Number, True, False, Null };
    // What the next value is, without taking it.
    Type peek();

    // Walks an object, calling onMember with each key (its UTF-8 bytes, as
    // written when it holds no escapes); onMember must take the member's
    // value (or skip it).
    void object(const std::function<void(QByteArrayView key)> &onMember);
    // Walks an array, calling onItem for each item, which it must take.
    void array(const std::function<void()> &onItem);
    QString string();
    double number();
    void skip();
    // After the top-level value: nothing but blanks may follow.
    void end();

    [[noreturn]] void fail(const QString &what) const;

private:
    void blanks();
    void expect(char c);
    void literal(const char *word);
    void skipString();
    quint32 hexQuad();

    const char *m_begin;
    const char *m_at;
    const char *m_end;
};
