#include "SpellChecker.h"

#include "Languages.h"
#include "TranslationChecks.h"
#include "TranslationError.h"

#include <hunspell/hunspell.hxx>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

// The path of a dictionary file as Hunspell opens it: by the system's 8-bit
// name on Linux; on Windows a long-path name in UTF-8, which our build of
// Hunspell opens by its wide name, so that any folder's name does.
QByteArray hunspellPath(const QString &path)
{
#ifdef Q_OS_WIN
    return QByteArrayLiteral("\\\\?\\") + QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

QString folderOf(const QString &code)
{
    for (const QString &folder : Dictionaries::folders()) {
        const QDir dir(folder);
        if (dir.exists(code + QStringLiteral(".aff")) && dir.exists(code + QStringLiteral(".dic")))
            return folder;
    }
    return QString();
}

// Hunspell names encodings as "ISO8859-1"; Qt wants "ISO-8859-1".
QByteArray qtEncodingName(QByteArray name)
{
    name = name.trimmed().toUpper();
    if (name.startsWith("ISO") && name.size() > 3 && name[3] != '-')
        name.insert(3, '-');
    return name;
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark();
}

// Whether the word stands in the text as a word of its own, case ignored.
bool containsWord(const QString &text, const QString &word)
{
    for (qsizetype at = text.indexOf(word, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(word, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + word.size();
        if ((at == 0 || !isWordCharacter(text[at - 1])) && (end >= text.size() || !isWordCharacter(text[end])))
            return true;
    }
    return false;
}

} // namespace

QStringList Dictionaries::folders()
{
    QStringList folders;
#ifndef Q_OS_WIN
    folders << QStringLiteral("/usr/share/hunspell");
#endif
    folders << QCoreApplication::applicationDirPath() + QStringLiteral("/dictionaries");
    folders << userDataFolder() + QStringLiteral("/dictionaries");
    return folders;
}

QStringList Dictionaries::available()
{
    QStringList codes;
    for (const QString &folder : folders()) {
        for (const QString &aff : QDir(folder).entryList({QStringLiteral("*.aff")}, QDir::Files)) {
            const QString code = QFileInfo(aff).completeBaseName();
            if (QFileInfo::exists(folder + QLatin1Char('/') + code + QStringLiteral(".dic")) && !codes.contains(code))
                codes << code;
        }
    }
    codes.sort();
    return codes;
}

bool Dictionaries::exists(const QString &code)
{
    return !folderOf(code).isEmpty();
}

QString Dictionaries::forFile(const QString &fileName)
{
    const Language *language = Languages::ofFile(fileName);
    if (!language)
        return QString();
    for (const QString &code : language->dictionaries) {
        if (exists(code))
            return code;
    }
    return language->dictionaries.constFirst();
}

QString Dictionaries::missing(const QString &code)
{
    const Language *language = Languages::ofDictionary(code);
    const QString name = language ? QStringLiteral("%1 (%2)").arg(QLatin1String(language->name), code) : code;
    QString text = QStringLiteral("no dictionary for %1; looked in %2").arg(name, folders().join(QStringLiteral(", ")));
    if (language && *language->package)
        text += QStringLiteral("; apt install %1").arg(QLatin1String(language->package));
    else if (language)
        text += QStringLiteral("; Debian has no Hunspell dictionary for %1").arg(QLatin1String(language->name));
    return text;
}

QString Dictionaries::userDataFolder()
{
    // The editor's folder, whichever program asks.
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Vantrel"));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCoreApplication::setApplicationName(name);
    return folder;
}

QString Dictionaries::personalWordsFile(const QString &code)
{
    return userDataFolder() + QStringLiteral("/words-%1.txt").arg(code);
}

SpellChecker::SpellChecker(const QString &code)
    : m_code(code)
{
    const QString folder = folderOf(code);
    if (folder.isEmpty())
        throw TranslationError(Dictionaries::missing(code));
    const QString base = folder + QLatin1Char('/') + code;
    m_hunspell = std::make_unique<Hunspell>(hunspellPath(base + QStringLiteral(".aff")).constData(),
                                            hunspellPath(base + QStringLiteral(".dic")).constData());
    m_encoding = qtEncodingName(QByteArray::fromStdString(m_hunspell->get_dict_encoding()));
    m_utf8 = m_encoding == "UTF-8";
    if (!m_utf8 && !QStringConverter::encodingForName(m_encoding.constData()))
        throw TranslationError(QStringLiteral("the dictionary %1 is in %2, which cannot be read here")
                                   .arg(QDir::toNativeSeparators(base), QString::fromLatin1(m_encoding)));
}

SpellChecker::~SpellChecker() = default;

QByteArray SpellChecker::encode(const QString &word) const
{
    if (m_utf8)
        return word.toUtf8();
    QStringEncoder encoder(m_encoding.constData(), QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(word);
    // A character the dictionary's encoding lacks is in none of its words.
    return encoder.hasError() ? QByteArray() : bytes;
}

QString SpellChecker::decode(const std::string &bytes) const
{
    if (m_utf8)
        return QString::fromStdString(bytes);
    QStringDecoder decoder(m_encoding.constData());
    return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

bool SpellChecker::isCorrect(const QString &word)
{
    const auto known = m_known.constFind(word);
    if (known != m_known.constEnd())
        return known.value();
    const QByteArray bytes = encode(word);
    const bool correct = !bytes.isEmpty() && m_hunspell->spell(bytes.toStdString());
    m_known.insert(word, correct);
    return correct;
}

QStringList SpellChecker::suggestions(const QString &word, int limit)
{
    QStringList found;
    const QByteArray bytes = encode(word);
    if (bytes.isEmpty())
        return found;
    for (const std::string &suggestion : m_hunspell->suggest(bytes.toStdString())) {
        if (found.size() >= limit)
            break;
        found << decode(suggestion);
    }
    return found;
}

void SpellChecker::accept(const QString &word)
{
    m_known.insert(word, true);
}

void SpellChecker::acceptFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.exists())
            throw TranslationError(QStringLiteral("%1: %2").arg(fileName, file.errorString()));
        return;
    }
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QString word = QString::fromUtf8(line).trimmed();
        if (!word.isEmpty())
            accept(word);
    }
}

std::vector<SpellChecker::Misspelling> SpellChecker::misspellings(const QString &text, const QString &reference,
                                                                   const TranslationChecker &checker)
{
    std::vector<Misspelling> found;
    std::vector<ContentChecks::Span> skip = checker.placeholderSpans(text);
    const std::vector<ContentChecks::Span> addresses = ContentChecks::addressSpans(text);
    skip.insert(skip.end(), addresses.begin(), addresses.end());
    const auto skipped = [&skip](qsizetype start, qsizetype end) {
        return std::any_of(skip.begin(), skip.end(),
                           [&](const ContentChecks::Span &span) { return start < span.start + span.length && span.start < end; });
    };
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype end = words.toNextBoundary();
        if (end < 0)
            break;
        // A segment may carry joiners at its ends (U+202F joins words in
        // Mongolian): a word is its letters.
        qsizetype first = start;
        qsizetype last = end;
        while (first < last && !isWordCharacter(text[first]))
            ++first;
        while (last > first && !isWordCharacter(text[last - 1]))
            --last;
        const QStringView word = QStringView(text).mid(first, last - first);
        const bool hasLetter = std::any_of(word.begin(), word.end(), [](QChar c) { return c.isLetter(); });
        const bool code = std::any_of(word.begin(), word.end(), [](QChar c) { return c.isDigit() || c == QLatin1Char('_'); });
        if (hasLetter && !code && !skipped(first, last)) {
            const QString candidate = word.toString();
            // A word the source has too is a name or a term, not a typo.
            if (!isCorrect(candidate) && !containsWord(reference, candidate))
                found.push_back({{first, last - first}, candidate});
        }
        start = end;
    }
    return found;
}
