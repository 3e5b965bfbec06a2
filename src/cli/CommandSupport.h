#pragma once

#include <QString>

#include <functional>
#include <vector>

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
// A file that looks cut short, said on stderr.
void noteDamage(const TZelkStrings &table, const QString &fileName);
QString layoutName(bool newFormat);
// Flushes an output; a failed write is an error.
int finish(BufferedOutput &out);
// Writes a text file as a stream, so that memory stays bounded however long
// the text; the file keeps what it held unless every byte is written.
void writeTextFile(const QString &fileName, const std::function<void(BufferedOutput &)> &write);
// What a strings file cannot hold as it is: a NUL in a text is an error that
// names the entry; a '^' (read back as a line break) and a carriage return
// without a line feed (dropped) are warned of, entry by entry.
void checkStorable(const TZelkStrings &table, const std::vector<quint32> &indices);

} // namespace CommandSupport
