#include "PoCatalogue.h"

#include "PoReader.h"
#include "TextOutput.h"
#include "uZelkStrings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gettext-po.h>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif
#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

// The library reports problems through callbacks and must not return from a
// fatal one, so the callbacks collect messages and jump back to the caller.
struct Problems
{
    QStringList messages;
    std::jmp_buf fatal;
    // The library knows the copy it reads; messages name the user's file.
    QByteArray libraryName;
    QString userName;
};

Problems *current = nullptr;

void report(int severity, const char *filename, size_t lineno, const char *text)
{
    if (severity == PO_SEVERITY_WARNING || !current)
        return;
    QString where;
    if (filename)
        where = current->libraryName == filename ? current->userName : QString::fromLocal8Bit(filename);
    if (filename && lineno != size_t(-1))
        where += QStringLiteral(":%1").arg(lineno);
    const QString message = QString::fromUtf8(text).trimmed().replace(QLatin1Char('\n'), QLatin1Char(' '));
    current->messages << (where.isEmpty() ? message : where + QStringLiteral(": ") + message);
}

void xerror(int severity, po_message_t, const char *filename, size_t lineno, size_t, int, const char *text)
{
    report(severity, filename, lineno, text);
    if (severity == PO_SEVERITY_FATAL_ERROR)
        std::longjmp(current->fatal, 1);
}

void xerror2(int severity, po_message_t, const char *filename1, size_t lineno1, size_t, int, const char *text1,
             po_message_t, const char *, size_t, size_t, int, const char *)
{
    report(severity, filename1, lineno1, text1);
    if (severity == PO_SEVERITY_FATAL_ERROR)
        std::longjmp(current->fatal, 1);
}

const po_xerror_handler Handler = {xerror, xerror2};

// Runs one library call with the callbacks collecting into problems; false
// when the call ended in a fatal problem.
template<typename Call>
bool guarded(Problems &problems, Call call)
{
    current = &problems;
    volatile bool completed = false;
    if (setjmp(problems.fatal) == 0) {
        call();
        completed = true;
    }
    current = nullptr;
    return completed;
}

// A path the library's C file functions can open. On Windows they take the
// ANSI code page, so a folder whose name it cannot hold is given by its short
// (8.3) name.
QByteArray libraryPath(const QString &path)
{
#ifdef Q_OS_WIN
    const QString native = QDir::toNativeSeparators(path);
    const auto *wide = reinterpret_cast<const wchar_t *>(native.utf16());
    const DWORD length = GetShortPathNameW(wide, nullptr, 0);
    if (length > 0) {
        std::wstring shortPath(length, L'\0');
        if (GetShortPathNameW(wide, shortPath.data(), length) > 0)
            return QString::fromWCharArray(shortPath.c_str()).toLocal8Bit();
    }
    return native.toLocal8Bit();
#else
    return QFile::encodeName(path);
#endif
}

CliError failure(const Problems &problems, const QString &fallback)
{
    return CliError(problems.messages.isEmpty() ? fallback : problems.messages.first());
}

QByteArray headerText(const PoCatalogue::Header &header, bool isTemplate)
{
    const QString now = header.revised.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm+0000"));
    QString text;
    text += QStringLiteral("Project-Id-Version: %1\n").arg(header.project);
    if (isTemplate) {
        text += QStringLiteral("POT-Creation-Date: %1\n").arg(now);
        text += QStringLiteral("PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\nLast-Translator: FULL NAME <EMAIL@ADDRESS>\n"
                               "Language-Team: LANGUAGE <LL@li.org>\nLanguage: \n");
    } else {
        text += QStringLiteral("PO-Revision-Date: %1\n").arg(now);
        text += QStringLiteral("Last-Translator: \nLanguage-Team: \n");
        if (!header.language.isEmpty())
            text += QStringLiteral("Language: %1\n").arg(header.language);
    }
    text += QStringLiteral("MIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: 8bit\n");
    text += QStringLiteral("X-Generator: zelkstr 3.0\n");
    return text.toUtf8();
}

// gettext requires a translation to begin and end with a line break exactly
// where its source does; a pair that differs is marked for review instead.
bool breaksDiffer(const QString &source, const QString &text)
{
    if (source.isEmpty() || text.isEmpty())
        return false;
    return source.startsWith(QLatin1Char('\n')) != text.startsWith(QLatin1Char('\n'))
        || source.endsWith(QLatin1Char('\n')) != text.endsWith(QLatin1Char('\n'));
}

void addMessage(po_message_iterator_t iterator, const QByteArray &context, const QByteArray &source,
                const QByteArray &text, bool review, const QByteArray &comment = QByteArray())
{
    po_message_t message = po_message_create();
    if (!comment.isEmpty())
        po_message_set_extracted_comments(message, comment.constData());
    if (!context.isNull())
        po_message_set_msgctxt(message, context.constData());
    po_message_set_msgid(message, source.constData());
    po_message_set_msgstr(message, text.constData());
    if (review)
        po_message_set_fuzzy(message, 1);
    po_message_insert(iterator, message);
}


} // namespace

namespace {

struct Message
{
    QByteArray context;
    QByteArray source;
    QByteArray text;
    bool review = false;
    QByteArray comment;
};

// Writes a catalogue of these messages with the library and returns its bytes.
QByteArray writeWithLibrary(const QTemporaryDir &scratch, const char *name, const std::function<void(po_message_iterator_t)> &fill)
{
    po_file_t file = po_file_create();
    po_message_iterator_t iterator = po_message_iterator(file, nullptr);
    fill(iterator);
    po_message_iterator_free(iterator);
    const QString path = scratch.filePath(QString::fromLatin1(name));
    const QByteArray encodedPath = libraryPath(scratch.path()) + '/' + name;
    Problems problems;
    bool written = false;
    guarded(problems, [&] { written = po_file_write(file, encodedPath.constData(), &Handler) != nullptr; });
    po_file_free(file);
    QFile result(path);
    if (!written || !problems.messages.isEmpty() || !result.open(QIODevice::ReadOnly))
        throw failure(problems, QStringLiteral("the catalogue could not be written"));
    return result.readAll();
}

void add(po_message_iterator_t iterator, const Message &message)
{
    addMessage(iterator, message.context, message.source, message.text, message.review, message.comment);
}

} // namespace

namespace {

Message messageOf(const ExportTables &tables, quint32 index)
{
    const QString source = tables.sourceText(index);
    const QString text = tables.emptyTranslations ? QString() : tables.translation.entryText(index);
    // A text that is not UTF-8 goes out untranslated, its bytes named in a
    // comment; an empty translation leaves it as it is on import.
    const QByteArray comment = tables.translation.isUnreadable(index)
        ? "zelkstr: this entry's text is not valid UTF-8; the strings file keeps its bytes: "
            + tables.translation.unreadableBytes(index).toHex(' ').toUpper()
        : QByteArray();
    return Message{tables.entryKey(index).toLatin1(), source.toUtf8(), text.toUtf8(), breaksDiffer(source, text), comment};
}

// The library holds a whole catalogue in memory, at several times its size:
// it writes one piece of the messages at a time, each behind the header.
constexpr quint32 PieceMessages = 4096;
constexpr qsizetype PieceUnits = 2 << 20;

class Pieces
{
public:
    Pieces(const ExportTables &tables, const Message &header, const QTemporaryDir &scratch)
        : m_tables(tables)
        , m_header(header)
        , m_scratch(scratch)
    {
        m_headerOnly = writeWithLibrary(m_scratch, "header.po", [&](po_message_iterator_t iterator) { add(iterator, m_header); });
        if (m_headerOnly.isEmpty())
            throw CliError(QStringLiteral("Stream write error"));
        const quint32 count = tables.translation.EntryCount();
        qsizetype units = 0;
        for (quint32 i = 0; i < count; ++i) {
            if (m_starts.empty() || i - m_starts.back() >= PieceMessages || units >= PieceUnits) {
                m_starts.push_back(i);
                units = 0;
            }
            units += tables.sourceText(i).size() + (tables.emptyTranslations ? 0 : tables.translation.entryText(i).size());
        }
        m_starts.push_back(count);
    }

    const QByteArray &headerOnly() const { return m_headerOnly; }
    size_t count() const { return m_starts.size() - 1; }
    QString fileName(size_t piece) const { return m_scratch.filePath(QStringLiteral("piece-%1.po").arg(piece)); }

    // Has the library write a piece behind the header into fileName(piece),
    // and checks it: the library does not report a write that failed part-way
    // (a full disk), so a whole piece must end with its last message exactly
    // as the library writes that message alone.
    void write(size_t piece) const
    {
        const QByteArray name = "piece-" + QByteArray::number(quint64(piece)) + ".po";
        Message last;
        const QByteArray written = writeWithLibrary(m_scratch, name.constData(), [&](po_message_iterator_t iterator) {
            add(iterator, m_header);
            for (quint32 i = m_starts[piece]; i < m_starts[piece + 1]; ++i) {
                last = messageOf(m_tables, i);
                add(iterator, last);
            }
        });
        const QByteArray lastName = "last-" + QByteArray::number(quint64(piece)) + ".po";
        const QByteArray withLast = writeWithLibrary(m_scratch, lastName.constData(), [&](po_message_iterator_t iterator) {
            add(iterator, m_header);
            add(iterator, last);
        });
        QFile::remove(m_scratch.filePath(QString::fromLatin1(lastName)));
        if (!withLast.startsWith(m_headerOnly) || !written.endsWith(withLast.mid(m_headerOnly.size())))
            throw CliError(QStringLiteral("Stream write error"));
    }

    // A written piece's messages, its file removed.
    QByteArray take(size_t piece) const
    {
        QFile file(fileName(piece));
        const QByteArray written = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        file.close();
        file.remove();
        if (!written.startsWith(m_headerOnly) || written.size() == m_headerOnly.size())
            throw CliError(QStringLiteral("Stream write error"));
        return written.mid(m_headerOnly.size());
    }

private:
    const ExportTables &m_tables;
    const Message &m_header;
    const QTemporaryDir &m_scratch;
    QByteArray m_headerOnly;
    std::vector<quint32> m_starts; // the first entry of each piece, then the count
};

#ifdef Q_OS_UNIX
// The library works on one core: a second process writes every other piece,
// which this one takes in turn, so that the catalogue is written on two
// cores. The helper reports each piece it finished on a pipe.
class PieceHelper
{
public:
    explicit PieceHelper(const Pieces &pieces)
    {
        int channel[2];
        if (::pipe(channel) != 0)
            return;
        std::fflush(nullptr);
        m_process = ::fork();
        if (m_process == 0) {
            ::close(channel[0]);
            int status = 0;
            try {
                for (quint64 piece = 1; piece < pieces.count(); piece += 2) {
                    pieces.write(size_t(piece));
                    if (::write(channel[1], &piece, sizeof piece) != sizeof piece)
                        break;
                }
            } catch (...) {
                status = 1;
            }
            ::_exit(status);
        }
        ::close(channel[1]);
        m_reports = channel[0];
        if (m_process < 0)
            ::close(m_reports);
    }
    ~PieceHelper()
    {
        if (m_process <= 0)
            return;
        ::close(m_reports);
        if (!m_finished)
            ::kill(m_process, SIGKILL);
        int status = 0;
        ::waitpid(m_process, &status, 0);
    }
    PieceHelper(const PieceHelper &) = delete;
    PieceHelper &operator=(const PieceHelper &) = delete;

    bool started() const { return m_process > 0; }

    // Waits until the helper has written the piece.
    void waitFor(size_t piece)
    {
        quint64 reported = 0;
        qint64 got = 0;
        do {
            got = ::read(m_reports, &reported, sizeof reported);
        } while (got < 0 && errno == EINTR);
        if (got != sizeof reported || reported != piece)
            throw CliError(QStringLiteral("Stream write error"));
    }

    // Waits for the helper's end: false when it failed.
    bool finish()
    {
        int status = 0;
        m_finished = true;
        return ::waitpid(m_process, &status, 0) == m_process && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

private:
    pid_t m_process = -1;
    int m_reports = -1;
    bool m_finished = false;
};
#endif

} // namespace

void PoCatalogue::write(const ExportTables &tables, const Header &header, BufferedOutput &out)
{
    const Message headerMessage{QByteArray(), QByteArray(""), headerText(header, tables.emptyTranslations),
                                tables.emptyTranslations, QByteArray()};
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw CliError(QStringLiteral("Stream write error"));
    const Pieces pieces(tables, headerMessage, scratch);
    out.bytes(pieces.headerOnly().constData(), pieces.headerOnly().size());
#ifdef Q_OS_UNIX
    if (pieces.count() > 1) {
        PieceHelper helper(pieces);
        if (helper.started()) {
            for (size_t piece = 0; piece < pieces.count(); ++piece) {
                if (piece % 2 == 0)
                    pieces.write(piece);
                else
                    helper.waitFor(piece);
                const QByteArray messages = pieces.take(piece);
                out.bytes(messages.constData(), messages.size());
            }
            if (!helper.finish())
                throw CliError(QStringLiteral("Stream write error"));
            return;
        }
    }
#endif
    for (size_t piece = 0; piece < pieces.count(); ++piece) {
        pieces.write(piece);
        const QByteArray messages = pieces.take(piece);
        out.bytes(messages.constData(), messages.size());
    }
}

namespace {

// The charset a catalogue declares in its header; a template's placeholder
// and a missing header mean UTF-8 (and ASCII, its subset).
QByteArray declaredCharset(po_file_t file)
{
    const char *header = po_file_domain_header(file, nullptr);
    char *contentType = header ? po_header_field(header, "Content-Type") : nullptr;
    QByteArray charset = "UTF-8";
    if (contentType) {
        const QByteArray field(contentType);
        std::free(contentType);
        const qsizetype at = field.toLower().indexOf("charset=");
        if (at >= 0)
            charset = field.mid(at + 8).trimmed().split(';').value(0).trimmed();
    }
    if (charset.isEmpty() || charset == "CHARSET")
        charset = "UTF-8";
    return charset;
}

// Turns a catalogue's strings into text, from its declared charset, a leading
// U+FEFF kept as a character of the text.
class CatalogueText
{
public:
    CatalogueText(po_file_t file, const QString &fileName)
        : m_charset(declaredCharset(file))
        , m_decoder(m_charset.constData(), QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless)
        , m_fileName(fileName)
    {
        if (!m_decoder.isValid())
            throw CliError(QStringLiteral("%1: the catalogue's charset \"%2\" cannot be read here; convert the catalogue to "
                                          "UTF-8 (msgconv -t UTF-8)")
                               .arg(fileName, QString::fromLatin1(m_charset)));
    }

    QString operator()(const char *bytes)
    {
        const QString text = m_decoder.decode(QByteArrayView(bytes));
        if (m_decoder.hasError())
            throw CliError(QStringLiteral("%1: a message is not %2 text as the catalogue declares: \"%3\"")
                               .arg(m_fileName, QString::fromLatin1(m_charset), text.left(40)));
        return text;
    }

private:
    QByteArray m_charset;
    QStringDecoder m_decoder;
    QString m_fileName;
};

// The messages of the catalogue's default domain. Plural forms and other
// domains cannot go into a strings file: they are refused, not dropped.
std::vector<ImportedEntry> readMessages(po_file_t file, const QString &fileName, bool untranslated)
{
    CatalogueText text(file, fileName);
    std::vector<ImportedEntry> entries;
    int messages = 0;
    for (const char *const *domain = po_file_domains(file); *domain; ++domain) {
        po_message_iterator_t iterator = po_message_iterator(file, *domain);
        const auto refuse = [&](const QString &why) {
            po_message_iterator_free(iterator);
            throw CliError(QStringLiteral("%1: %2").arg(fileName, why));
        };
        while (po_message_t message = po_next_message(iterator)) {
            const int place = messages++;
            const char *context = po_message_msgctxt(message);
            const bool isHeader = !context && *po_message_msgid(message) == '\0';
            if (isHeader || po_message_is_obsolete(message))
                continue;
            const QString source = text(po_message_msgid(message));
            if (std::strcmp(*domain, "messages") != 0)
                refuse(QStringLiteral("the message \"%1\" is in the domain \"%2\"; strings files have one domain only")
                           .arg(source.left(40), QString::fromUtf8(*domain)));
            if (po_message_msgid_plural(message))
                refuse(QStringLiteral("the message \"%1\" has plural forms, which a strings file cannot hold")
                           .arg(source.left(40)));
            if (*po_message_msgstr(message) == '\0' && !untranslated)
                continue;
            ImportedEntry entry;
            entry.untranslated = *po_message_msgstr(message) == '\0';
            if (!PoReader::readContext(context, entry))
                refuse(QStringLiteral("the message \"%1\" has no entry number or index in its context").arg(source.left(40)));
            entry.sourceText = source;
            entry.text = text(po_message_msgstr(message));
            entry.fuzzy = po_message_is_fuzzy(message);
            entry.message = place;
            entries.push_back(std::move(entry));
        }
        po_message_iterator_free(iterator);
    }
    return entries;
}

} // namespace

// The line on which each message of a catalogue begins (its msgctxt, or its
// msgid), obsolete ones too, in order: the library names none.
std::vector<int> messageLines(const QByteArray &content)
{
    std::vector<int> lines;
    bool contextOpen = false;
    int line = 0;
    for (QByteArrayView rest(content); !rest.isEmpty();) {
        ++line;
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView text = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (text.startsWith("#~"))
            text = text.sliced(2).trimmed();
        if (text.startsWith("msgctxt ") || text.startsWith("msgctxt\t")) {
            lines.push_back(line);
            contextOpen = true;
        } else if (text.startsWith("msgid ") || text.startsWith("msgid\t")) {
            if (!contextOpen)
                lines.push_back(line);
            contextOpen = false;
        }
    }
    return lines;
}

std::vector<ImportedEntry> PoCatalogue::read(const QString &fileName, bool untranslated)
{
    const QByteArray content = readCatalogueFile(fileName);
    // The library takes many times longer than a plain catalogue needs.
    std::optional<std::vector<ImportedEntry>> entries = PoReader::readPlain(content, untranslated);
    if (!entries)
        entries = readWithLibrary(content, fileName, untranslated);
    const std::vector<int> lines = messageLines(content);
    for (ImportedEntry &entry : *entries) {
        const bool placed = entry.message >= 0 && size_t(entry.message) < lines.size();
        entry.where = placed ? QStringLiteral("%1:%2").arg(fileName).arg(lines[size_t(entry.message)]) : fileName;
    }
    return std::move(*entries);
}

std::vector<ImportedEntry> PoCatalogue::readWithLibrary(const QByteArray &content, const QString &fileName, bool untranslated)
{
    // The library reads a copy in a folder of our own: it opens files by an
    // 8-bit name, which cannot hold every name the user's file may have.
    QTemporaryDir scratch;
    QFile copy(scratch.filePath(QStringLiteral("catalogue.po")));
    if (!scratch.isValid() || !copy.open(QIODevice::WriteOnly) || copy.write(content) != content.size() || !copy.flush())
        throw CliError(QStringLiteral("%1: the catalogue could not be copied for reading").arg(fileName));
    copy.close();
    const QByteArray encodedPath = libraryPath(scratch.path()) + "/catalogue.po";
    Problems problems;
    problems.libraryName = encodedPath;
    problems.userName = fileName;
    po_file_t file = nullptr;
    const bool completed = guarded(problems, [&] { file = po_file_read(encodedPath.constData(), &Handler); });
    if (!completed || !file || !problems.messages.isEmpty()) {
        if (file)
            po_file_free(file);
        throw failure(problems, QStringLiteral("%1: not a PO catalogue").arg(fileName));
    }

    std::vector<ImportedEntry> entries;
    try {
        entries = readMessages(file, fileName, untranslated);
    } catch (const CliError &) {
        po_file_free(file);
        throw;
    }
    po_file_free(file);
    return entries;
}

QString PoCatalogue::languageOf(const QString &fileName)
{
    static const struct
    {
        const char *extension;
        const char *language;
    } languages[] = {{"cze", "cs"}, {"eng", "en"}, {"fin", "fi"}, {"fre", "fr"}, {"ger", "de"}, {"swe", "sv"}};
    const QString extension = QFileInfo(fileName).suffix().toLower();
    for (const auto &entry : languages) {
        if (extension == QLatin1String(entry.extension))
            return QString::fromLatin1(entry.language);
    }
    return QString();
}
