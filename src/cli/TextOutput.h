#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

class AtomicFileWriter;

// Writes UTF-8 to a stream through a large buffer, so that a million lines
// cost a few system calls and no text is converted twice; without a stream it
// keeps everything for takeBytes(). A failed write (a full disk, a closed
// pipe) is kept and reported by finish().
class BufferedOutput
{
public:
    enum class Escape {
        None,
        Table, // backslash, tab, line feed and carriage return as \\, \t, \n, \r
        Json,  // a JSON string, quotes included
        Csv,   // a CSV field, quoted where it must be
    };

    explicit BufferedOutput(std::FILE *stream = nullptr);
    // Writes through a file writer; its commit is the caller's, after finish().
    explicit BufferedOutput(AtomicFileWriter &file);
    ~BufferedOutput();

    BufferedOutput &ascii(const char *text);
    BufferedOutput &bytes(const char *data, qsizetype size);
    BufferedOutput &number(quint64 value);
    // Eight uppercase hexadecimal digits.
    BufferedOutput &hex8(quint32 value);
    BufferedOutput &text(const QString &text, Escape escape = Escape::None);
    // Bytes that are not UTF-8, readable in a table: printable ASCII as it
    // is (with the Table escapes), every other byte as \xHH.
    BufferedOutput &escapedBytes(const QByteArray &bytes);
    // Bytes as uppercase hexadecimal digits, two per byte.
    BufferedOutput &hexBytes(const QByteArray &bytes);

    // Flushes; false when anything could not be written.
    bool finish();
    // Everything written, when there is no stream.
    QByteArray takeBytes();

private:
    char *reserve(qsizetype bytes);
    void commit(const char *end);
    void flush();

    std::FILE *m_stream;
    AtomicFileWriter *m_file = nullptr;
    QByteArray m_buffer;
    bool m_failed = false;
};
