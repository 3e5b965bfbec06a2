#include "SpellingSuggestions.h"

#include "SpellChecker.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <iostream>
#include <string>
#include <thread>

namespace {

// Fewer words are looked up here alone: a helper's start costs more.
constexpr size_t WordsWorthHelpers = 8;
constexpr unsigned MostHelpers = 8;

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
    QFile output;
    if (!output.open(stdout, QIODevice::WriteOnly))
        return 2;
    SpellChecker speller(code);
    // A word at a time, as the caller finds them.
    for (std::string word; std::getline(std::cin, word);) {
        if (word.empty())
            continue;
        const QByteArray line = speller.suggestions(QString::fromStdString(word), limit).join(QLatin1Char('\t')).toUtf8() + '\n';
        if (output.write(line) != line.size())
            return 2;
    }
    return !std::cin.bad() && output.flush() ? 0 : 2;
}

SpellingSuggestions::SpellingSuggestions(const QString &code, int limit)
    : m_code(code)
    , m_limit(limit)
{
}

void SpellingSuggestions::add(const QString &word)
{
    m_words.push_back(word);
    if (!m_helpers.empty())
        send(m_words.size() - 1);
    else if (m_words.size() == WordsWorthHelpers)
        startHelpers();
}

void SpellingSuggestions::startHelpers()
{
    const size_t count = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, MostHelpers);
    for (size_t k = 0; k < count; ++k) {
        auto helper = std::make_unique<QProcess>();
        helper->setStandardErrorFile(QProcess::nullDevice());
        helper->start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(HelperArgument), m_code});
        m_helpers.push_back(std::move(helper));
    }
    for (size_t word = 0; word < m_words.size(); ++word)
        send(word);
}

// Helper k of n takes the words k, k + n, ... Without an event loop a word
// goes only while this waits for it to go (which reads the helper's answers
// meanwhile, so neither side waits for the other for ever).
void SpellingSuggestions::send(size_t word)
{
    QProcess &helper = *m_helpers[word % m_helpers.size()];
    if (helper.state() == QProcess::NotRunning)
        return; // its words are looked up here when taken
    helper.write(m_words[word].toUtf8() + '\n');
    while (helper.bytesToWrite() > 0 && helper.waitForBytesWritten(-1)) {
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
    for (const auto &helper : m_helpers)
        helper->closeWriteChannel();
    for (size_t k = 0; k < m_helpers.size(); ++k) {
        if (!takeAnswer(*m_helpers[k], k, m_helpers.size(), found))
            here(k, m_helpers.size());
    }
    m_helpers.clear();
    return found;
}
