#include "PoCatalogue.h"

#include "TextOutput.h"
#include "uZelkStrings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
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

// A message's context names its entry: "NUMBER" (eight hexadecimal digits)
// or "INDEX:NUMBER". False when it is neither.
bool readContext(const char *context, ImportedEntry &entry)
{
    static const QRegularExpression pattern(QStringLiteral("^(?:(\\d{1,10}):)?([0-9A-F]{8})$"));
    if (!context)
        return false;
    const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(context));
    if (!match.hasMatch())
        return false;
    bool ok = true;
    if (match.hasCaptured(1))
        entry.index = match.captured(1).toUInt(&ok);
    entry.number = match.captured(2).toUInt(nullptr, 16);
    return ok;
}

QByteArray contextOf(const ExportTables &tables, quint32 index)
{
    const quint32 number = tables.translation.GetNumber(index);
    if (tables.numberContexts && number != 0)
        return formatNumber(number).toLatin1();
    return (QString::number(index) + QLatin1Char(':') + formatNumber(number)).toLatin1();
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
    return Message{contextOf(tables, index), source.toUtf8(), text.toUtf8(), breaksDiffer(source, text), comment};
}

// The library holds a whole catalogue in memory, at several times its size:
// it writes one piece of the messages at a time, each behind the header.
constexpr quint32 PieceMessages = 4096;
constexpr qsizetype PieceBytes = 4 << 20;

} // namespace

void PoCatalogue::write(const ExportTables &tables, const Header &header, BufferedOutput &out)
{
    const Message headerMessage{QByteArray(), QByteArray(""), headerText(header, tables.emptyTranslations),
                                tables.emptyTranslations, QByteArray()};
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw CliError(QStringLiteral("Stream write error"));
    const auto behindHeader = [&](const std::function<void(po_message_iterator_t)> &fill) {
        return writeWithLibrary(scratch, "piece.po", [&](po_message_iterator_t iterator) {
            add(iterator, headerMessage);
            fill(iterator);
        });
    };
    const QByteArray headerOnly = behindHeader([](po_message_iterator_t) {});
    if (headerOnly.isEmpty())
        throw CliError(QStringLiteral("Stream write error"));
    out.bytes(headerOnly.constData(), headerOnly.size());

    const quint32 count = tables.translation.EntryCount();
    for (quint32 next = 0; next < count;) {
        Message last;
        const QByteArray piece = behindHeader([&](po_message_iterator_t iterator) {
            qsizetype bytes = 0;
            for (const quint32 first = next; next < count && next - first < PieceMessages && bytes < PieceBytes; ++next) {
                last = messageOf(tables, next);
                bytes += last.source.size() + last.text.size();
                add(iterator, last);
            }
        });
        // The library does not report a write that failed part-way (a full
        // disk): a whole piece ends with its last message exactly as the
        // library writes that message alone.
        const QByteArray withLast = behindHeader([&](po_message_iterator_t iterator) { add(iterator, last); });
        const QByteArray ending = withLast.mid(headerOnly.size());
        if (!piece.startsWith(headerOnly) || !withLast.startsWith(headerOnly) || !piece.endsWith(ending))
            throw CliError(QStringLiteral("Stream write error"));
        out.bytes(piece.constData() + headerOnly.size(), piece.size() - headerOnly.size());
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
std::vector<ImportedEntry> readMessages(po_file_t file, const QString &fileName)
{
    CatalogueText text(file, fileName);
    std::vector<ImportedEntry> entries;
    for (const char *const *domain = po_file_domains(file); *domain; ++domain) {
        po_message_iterator_t iterator = po_message_iterator(file, *domain);
        const auto refuse = [&](const QString &why) {
            po_message_iterator_free(iterator);
            throw CliError(QStringLiteral("%1: %2").arg(fileName, why));
        };
        while (po_message_t message = po_next_message(iterator)) {
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
            if (*po_message_msgstr(message) == '\0')
                continue;
            ImportedEntry entry;
            if (!readContext(context, entry))
                refuse(QStringLiteral("the message \"%1\" has no entry number or index in its context").arg(source.left(40)));
            entry.sourceText = source;
            entry.text = text(po_message_msgstr(message));
            entry.fuzzy = po_message_is_fuzzy(message);
            entry.where = QStringLiteral("message \"%1\"").arg(QString::fromUtf8(context));
            entries.push_back(std::move(entry));
        }
        po_message_iterator_free(iterator);
    }
    return entries;
}

} // namespace

std::vector<ImportedEntry> PoCatalogue::read(const QString &fileName)
{
    // The library reads a copy in a folder of our own: it opens files by an
    // 8-bit name, which cannot hold every name the user's file may have.
    const QByteArray content = readCatalogueFile(fileName);
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
        entries = readMessages(file, fileName);
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
