#pragma once

#include <QString>

class BufferedOutput;
class Pairing;
class TZelkStrings;

// What the commands of zelkstr share.
namespace CommandSupport {

enum ExitStatus { Success = 0, Different = 1, Failure = 2 };

// Loads a strings file; a failure names the file.
void load(TZelkStrings &table, const QString &fileName);
// A line on stderr that is not an error: "zelkstr: TEXT".
void note(const QString &text);
// Says how two files are paired: "zelkstr: pairing SECOND with FIRST by ...".
void notePairing(const Pairing &pairing, const QString &firstName, const QString &secondName);
QString layoutName(bool newFormat);
// Flushes an output; a failed write is an error.
int finish(BufferedOutput &out);

} // namespace CommandSupport
