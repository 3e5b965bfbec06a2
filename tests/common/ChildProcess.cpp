#include "ChildProcess.h"

#include <QByteArray>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

QString runInChild(const std::function<QString()> &work)
{
    int channel[2];
    if (pipe(channel) != 0)
        return QStringLiteral("pipe failed");
    const pid_t pid = fork();
    if (pid == 0) {
        close(channel[0]);
        const QByteArray result = work().toUtf8();
        qsizetype done = 0;
        while (done < result.size()) {
            const ssize_t n = write(channel[1], result.constData() + done, size_t(result.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        close(channel[1]);
        _exit(0);
    }
    close(channel[1]);
    QByteArray result;
    char buffer[4096];
    ssize_t n;
    while ((n = read(channel[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, n);
    close(channel[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("child died");
    return QString::fromUtf8(result);
}

void limitFileSize(long bytes)
{
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{rlim_t(bytes), rlim_t(bytes)};
    setrlimit(RLIMIT_FSIZE, &limit);
}

void limitMemory(long long bytes)
{
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = rlim_t(bytes);
    setrlimit(RLIMIT_AS, &limit);
}

bool becomeUnprivileged()
{
    if (geteuid() != 0)
        return false;
    const gid_t nogroup = 65534;
    const uid_t nobody = 65534;
    return setgid(nogroup) == 0 && setuid(nobody) == 0;
}

OrdinaryUser::OrdinaryUser()
{
    if (geteuid() == 0)
        m_switched = setegid(65534) == 0 && seteuid(65534) == 0;
}

OrdinaryUser::~OrdinaryUser()
{
    if (m_switched) {
        if (seteuid(0) != 0 || setegid(0) != 0)
            abort();
    }
}

FileSizeLimit::FileSizeLimit(long bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_previous = long(limit.rlim_cur);
    m_previousHandler = signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_previous);
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, m_previousHandler);
}
