#include "SpellingSuggestions.h"

#include "SpellChecker.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <thread>

namespace {

// Fewer words are looked up here alone: a helper's start costs more.
constexpr size_t WordsWorthHelpers = 8;
constexpr unsigned MostHelpers = 8;

QByteArray encodeLines(const std::vector<QString> &words, size_t first, size_t step)
{
    QByteArray lines;
    for (size_t i = first; i < words.size(); i += step)
        lines += words[i].toUtf8() + '\n';
    return lines;
}

// A helper's answer, false when it did not give one line per word.
bool takeAnswer(QProcess &helper, size_t first, size_t step, std::vector<QStringList> &found)
{
    if (!helper.waitForFinished(-1) || helper.exitStatus() != QProcess::NormalExit || helper.exitCode() != 0)
        return false;
    QList<QByteArray> lines = helper.readAllStandardOutput().split('\n');
    if (lines.isEmpty() || !lines.takeLast().isEmpty())
        return false;
    const size_t expected = first < found.size() ? (found.size() - first + step - 1) / step : 0;
    if (size_t(lines.size()) != expected)
        return false;
    size_t i = first;
    for (const QByteArray &line : lines) {
        found[i] = line.isEmpty() ? QStringList() : QString::fromUtf8(line).split(QLatin1Char('\t'));
        i += step;
    }
    return true;
}

} // namespace

int SpellingSuggestions::runHelper(const QString &code, int limit)
{
    QFile input;
    QFile output;
    if (!input.open(stdin, QIODevice::ReadOnly) || !output.open(stdout, QIODevice::WriteOnly))
        return 2;
    SpellChecker speller(code);
    const QByteArray words = input.readAll();
    for (const QByteArray &word : words.split('\n')) {
        if (word.isEmpty())
            continue;
        const QByteArray line = speller.suggestions(QString::fromUtf8(word), limit).join(QLatin1Char('\t')).toUtf8() + '\n';
        if (output.write(line) != line.size())
            return 2;
    }
    return output.flush() ? 0 : 2;
}

// Helper k of n takes the words k, k + n, ...
SpellingSuggestions::SpellingSuggestions(std::vector<QString> words, const QString &code, int limit)
    : m_words(std::move(words))
    , m_code(code)
    , m_limit(limit)
{
    if (m_words.size() < WordsWorthHelpers)
        return;
    const size_t count = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, MostHelpers);
    for (size_t k = 0; k < count; ++k) {
        auto helper = std::make_unique<QProcess>();
        helper->setStandardErrorFile(QProcess::nullDevice());
        helper->start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(HelperArgument), code});
        // Without an event loop the words go only while this waits for them
        // to go; the helper reads them all before it starts.
        helper->write(encodeLines(m_words, k, count));
        while (helper->bytesToWrite() > 0 && helper->waitForBytesWritten(-1)) {
        }
        helper->closeWriteChannel();
        m_helpers.push_back(std::move(helper));
    }
}

SpellingSuggestions::~SpellingSuggestions()
{
    for (const auto &helper : m_helpers) {
        helper->kill();
        helper->waitForFinished(-1);
    }
}

std::vector<QStringList> SpellingSuggestions::take()
{
    std::vector<QStringList> found(m_words.size());
    std::unique_ptr<SpellChecker> speller;
    const auto here = [&](size_t first, size_t step) {
        if (!speller)
            speller = std::make_unique<SpellChecker>(m_code);
        for (size_t i = first; i < m_words.size(); i += step)
            found[i] = speller->suggestions(m_words[i], m_limit);
    };
    if (m_helpers.empty())
        here(0, 1);
    for (size_t k = 0; k < m_helpers.size(); ++k) {
        if (!takeAnswer(*m_helpers[k], k, m_helpers.size(), found))
            here(k, m_helpers.size());
    }
    m_helpers.clear();
    return found;
}
