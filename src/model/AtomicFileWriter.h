#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// Writes a file in pieces so that it either holds all of them or keeps what
// it held before: they go to a file beside it that replaces it on commit,
// and is removed if the writer goes without one. A target that is a device
// or a pipe is written directly. Failures throw StringsError ("Cannot create
// file ...", "Stream write error").
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(const QString &fileName);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    void write(const char *data, qint64 size);
    void commit();

private:
    struct Target;
    std::unique_ptr<Target> m_target;
};

// All the bytes through one AtomicFileWriter.
void writeFileAtomically(const QString &fileName, const QByteArray &bytes);
