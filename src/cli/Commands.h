#pragma once

#include <QStringList>

// Runs zelkstr with its command line (the program's name first) and returns
// the exit status: 0 on success, 1 when diff finds differences, 2 on any
// error, which is reported as one line on stderr.
int runCommandLine(const QStringList &arguments);
