#pragma once

#include <QString>

#include <functional>

// Runs work in a forked child process and returns the text it produced, so a
// test can change process-wide limits (file size, user) without touching the
// test process itself. A child that dies gives "child died".
QString runInChild(const std::function<QString()> &work);

// Limits the size of files the calling process may write, and makes writes
// past the limit fail instead of killing the process.
void limitFileSize(long bytes);

// Limits the address space of the calling process, so that an allocation
// past the limit fails.
void limitMemory(long long bytes);

// Drops root rights to those of an ordinary user; false when not root.
bool becomeUnprivileged();

// While it lives, the process acts as an ordinary user when it runs as root,
// so that file permissions apply to it.
class OrdinaryUser
{
public:
    OrdinaryUser();
    ~OrdinaryUser();
    OrdinaryUser(const OrdinaryUser &) = delete;
    OrdinaryUser &operator=(const OrdinaryUser &) = delete;

private:
    bool m_switched = false;
};

// While it lives, files this process writes may not grow past the limit: a
// write beyond it fails as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    long m_previous;
    void (*m_previousHandler)(int);
};
