// zelk_bench: how the model, the editor and zelkstr fare with a strings file
// of a million entries, against iconv and msgfmt run on the same data.
//
//   zelk_bench [--entries N] [--rounds R] [--seed S] [--out FILE.json]
//
// Every figure is measured once per round, the rounds interleaved, and
// reported as median, minimum and maximum; the medians go to the JSON file.
// Memory figures are each one process's peak, measured once.
//
//   zelk_bench --open FILE [--click COLUMN]...
//
// opens a file in the window and times clicks on column headers, for a
// profile of opening and sorting.
#include "FilterBar.h"
#include "Pairing.h"
#include "ReviewFile.h"
#include "StringListView.h"
#include "TranslationMemory.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <map>
#include <random>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// ---------------------------------------------------------------------------
// The test file

// Texts of 10 to 120 bytes, shorter ones likelier: about 55 % ASCII, 20 %
// accented Latin, 15 % Cyrillic, 10 % CJK; 5 % with line breaks; 1 % empty.
class TextGenerator
{
public:
    explicit TextGenerator(quint64 seed)
        : m_random(seed)
    {
    }

    QString next()
    {
        if (chance(0.01))
            return QString();
        const double u = uniform();
        const int bytes = 10 + int(110 * u * u);
        const double script = uniform();
        const QString alphabet = script < 0.55 ? ascii() : script < 0.75 ? latin() : script < 0.90 ? cyrillic() : cjk();
        QString text;
        int used = 0;
        while (used < bytes) {
            const QChar c = chance(0.15) && !text.isEmpty() ? QLatin1Char(' ') : alphabet.at(pick(int(alphabet.size())));
            used += c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3;
            text += c;
        }
        if (chance(0.05))
            text.insert(pick(int(text.size())), QLatin1Char('\n'));
        return text;
    }

    quint32 number() { return quint32(m_random()); }

private:
    static QString ascii() { return QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,!?'-"); }
    static QString latin() { return QStringLiteral("abcdeilnorstu\u00e9\u00e8\u00ea\u00e0\u00e7\u00fc\u00f6\u00e4\u00df\u00f1\u00e1\u00ed\u00f3"); }
    static QString cyrillic() { return QStringLiteral("\u0430\u0431\u0432\u0433\u0434\u0435\u0436\u0437\u0438\u043a\u043b\u043c\u043d\u043e\u043f\u0440\u0441\u0442\u0443\u044f"); }
    static QString cjk() { return QStringLiteral("\u4e2d\u6587\u5b57\u6f22\u8a9e\u65e5\u672c\u306e\u3042\u3044\u3046\u30ab\u30bf\u6587\u5316\u4eba"); }

    double uniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(m_random); }
    bool chance(double p) { return uniform() < p; }
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

    std::mt19937_64 m_random;
};

void generate(const QString &path, int entries, quint64 seed)
{
    TextGenerator generator(seed);
    TZelkStrings table;
    for (int i = 0; i < entries; ++i) {
        table.AddEntry(generator.next());
        table.SetNumber(quint32(i), generator.number());
    }
    table.SaveToFile(path);
}

// A new-layout file whose entries point at these strings, each stored once.
class SharedFileWriter
{
public:
    explicit SharedFileWriter(const QString &path)
        : m_file(path)
    {
        if (!m_file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
    }

    // The offsets are relative to the first string; numbers are random.
    void write(const std::vector<quint32> &offsets, const QByteArray &strings, quint64 seed)
    {
        std::mt19937_64 random(seed);
        const quint32 count = quint32(offsets.size());
        const quint32 base = 16 + 8 * count;
        std::vector<quint32> words{0xFEFEFEFEu, count, 0, 0};
        for (quint32 i = 0; i < count; ++i)
            words.push_back(quint32(random()));
        for (const quint32 offset : offsets)
            words.push_back(base + offset);
        put(reinterpret_cast<const char *>(words.data()), qint64(words.size() * 4));
        put(strings.constData(), strings.size());
    }

private:
    void put(const char *data, qint64 size)
    {
        if (m_file.write(data, size) != size)
            qFatal("cannot write %s", qPrintable(m_file.fileName()));
    }

    QFile m_file;
};

// Half the entries (the even ones) share 100 texts; the others have their own.
void generateSharedTexts(const QString &path, int entries, quint64 seed)
{
    TextGenerator generator(seed + 2);
    QByteArray strings;
    std::vector<quint32> shared;
    for (int i = 0; i < 100; ++i) {
        shared.push_back(quint32(strings.size()));
        strings += generator.next().replace(QLatin1Char('\n'), QLatin1Char('^')).toUtf8() + '\0';
    }
    std::mt19937_64 random(seed + 3);
    std::vector<quint32> offsets(static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i) {
        if (i % 2 == 0) {
            offsets[size_t(i)] = shared[random() % shared.size()];
        } else {
            offsets[size_t(i)] = quint32(strings.size());
            strings += generator.next().replace(QLatin1Char('\n'), QLatin1Char('^')).toUtf8() + '\0';
        }
    }
    SharedFileWriter(path).write(offsets, strings, seed);
}

// Every entry empty, each with its own terminator.
void generateEmpty(const QString &path, int entries, quint64 seed)
{
    std::vector<quint32> offsets(static_cast<size_t>(entries));
    std::iota(offsets.begin(), offsets.end(), 0u);
    SharedFileWriter(path).write(offsets, QByteArray(entries, '\0'), seed);
}

// Every entry sharing one text of 60,000 bytes.
void generateLongShared(const QString &path, int entries, quint64 seed)
{
    SharedFileWriter(path).write(std::vector<quint32>(size_t(entries), 0), QByteArray(60000, 'x') + '\0', seed);
}

// A translation of the file for the reference figures: the same numbers, a
// third of the texts left as they are (untranslated), the rest new.
void generateReference(const QString &source, const QString &path, quint64 seed)
{
    TextGenerator generator(seed + 1);
    TZelkStrings table;
    table.LoadFromFile(source);
    for (quint32 i = 0; i < table.EntryCount(); ++i) {
        if (i % 3 != 0)
            table.SetEntry(i, generator.next());
    }
    table.SaveToFile(path);
}

// A copy of the file with a review file beside it: every tenth entry changed
// in this version.
void generateReview(const QString &source, const QString &copy)
{
    TZelkStrings table;
    table.LoadFromFile(source);
    table.SaveToFile(copy);
    ReviewFile review;
    for (quint32 i = 0; i < table.EntryCount(); i += 10) {
        ReviewEntry entry;
        entry.index = i;
        entry.number = table.GetNumber(i);
        entry.oldSource = QStringLiteral("Before: ") + table.entryText(i);
        entry.newSource = table.entryText(i);
        review.entries.push_back(entry);
    }
    review.write(ReviewFile::pathFor(copy));
}

// Words of a Hunspell dictionary: its stems, letters only.
QStringList dictionaryWords(const QString &path, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s (Debian's hunspell-en-us and hunspell-fr)", qPrintable(path));
    QStringList words;
    file.readLine();
    while (!file.atEnd() && words.size() < count) {
        const QString word = QString::fromUtf8(file.readLine()).section(QLatin1Char('/'), 0, 0).trimmed();
        if (word.size() >= 3 && std::all_of(word.begin(), word.end(), [](QChar c) { return c.isLower(); }))
            words << word;
    }
    return words;
}

// A pair of texts made of dictionary words, for spelling and the memory:
// X.eng and X.fre, the same numbers, 3 to 15 words a text, a typo of a
// hundred in 1 % of the translations.
void generateWords(const QString &path, int entries, quint64 seed)
{
    const QStringList english = dictionaryWords(QStringLiteral("/usr/share/hunspell/en_US.dic"), 20000);
    const QStringList french = dictionaryWords(QStringLiteral("/usr/share/hunspell/fr_FR.dic"), 20000);
    std::mt19937_64 random(seed + 5);
    const auto pick = [&](const QStringList &words) { return words[qsizetype(random() % quint64(words.size()))]; };
    // Typos as hands make them: a letter dropped, doubled or two swapped.
    QStringList typos;
    while (typos.size() < 100) {
        QString word = pick(french);
        if (word.size() < 5)
            continue;
        const qsizetype at = 1 + qsizetype(random() % quint64(word.size() - 2));
        if (typos.size() % 3 == 0)
            word.remove(at, 1);
        else if (typos.size() % 3 == 1)
            word.insert(at, word[at]);
        else
            std::swap(word[at - 1], word[at]);
        typos << word;
    }
    TZelkStrings source;
    TZelkStrings translation;
    for (int i = 0; i < entries; ++i) {
        const int length = 3 + int(random() % 13);
        QStringList sourceWords;
        QStringList translationWords;
        for (int w = 0; w < length; ++w) {
            sourceWords << pick(english);
            translationWords << pick(french);
        }
        if (random() % 100 == 0)
            translationWords[qsizetype(random() % quint64(length))] = typos[qsizetype(random() % 100)];
        const quint32 number = quint32(random());
        source.AddEntry(sourceWords.join(QLatin1Char(' ')));
        source.SetNumber(quint32(i), number);
        translation.AddEntry(translationWords.join(QLatin1Char(' ')));
        translation.SetNumber(quint32(i), number);
    }
    source.SaveToFile(path);
    translation.SaveToFile(QFileInfo(path).path() + QLatin1Char('/') + QFileInfo(path).completeBaseName() + QStringLiteral(".fre"));
}

// The bytes from the first string on, for iconv; copied in pieces, so that
// the bench's own memory stays out of the figures.
void writeStringArea(const QString &path, const QString &areaPath)
{
    QFile file(path);
    QFile area(areaPath);
    if (!file.open(QIODevice::ReadOnly) || !area.open(QIODevice::WriteOnly))
        qFatal("cannot copy the string area of %s", qPrintable(path));
    quint32 count = 0;
    quint32 first = 0;
    file.seek(4);
    file.read(reinterpret_cast<char *>(&count), 4);
    file.seek(16 + 4 * qint64(count));
    file.read(reinterpret_cast<char *>(&first), 4);
    file.seek(first);
    while (!file.atEnd()) {
        const QByteArray piece = file.read(1 << 20);
        if (area.write(piece) != piece.size())
            qFatal("cannot write %s", qPrintable(areaPath));
    }
}

// ---------------------------------------------------------------------------
// Measuring

struct ProcessFigures
{
    double milliseconds = 0;
    double peakMegabytes = 0;
};

// Runs a program to its end, its output to /dev/null, and measures it alone.
ProcessFigures measureProcess(const QString &program, const QStringList &arguments, int mostStatus = 0)
{
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        words.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        qFatal("cannot start %s", argv[0]);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) > mostStatus)
        qFatal("%s %s failed", argv[0], argv[1]);
    return ProcessFigures{double(timer.nsecsElapsed()) / 1e6, double(usage.ru_maxrss) / 1024.0};
}

double runProcess(const QString &program, const QStringList &arguments)
{
    return measureProcess(program, arguments).milliseconds;
}

// zelkstr check, whose status 1 says that it found something.
double runCheck(const QStringList &arguments)
{
    return measureProcess(QStringLiteral(ZELKSTR_PATH), QStringList{QStringLiteral("check")} + arguments, 1).milliseconds;
}

// How long the first touch of 200 MB of fresh memory takes: what page faults
// cost on this machine. A child process touches it, so that the bench's own
// peak memory stays as it is.
double touchFreshMemory()
{
    int channel[2];
    if (pipe(channel) != 0)
        qFatal("cannot make a pipe");
    const pid_t child = fork();
    if (child == 0) {
        const size_t size = 200u << 20;
        void *memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        double milliseconds = -1;
        if (memory != MAP_FAILED) {
            auto *bytes = static_cast<volatile char *>(memory);
            QElapsedTimer timer;
            timer.start();
            for (size_t at = 0; at < size; at += 4096)
                bytes[at] = 1;
            milliseconds = double(timer.nsecsElapsed()) / 1e6;
        }
        _exit(write(channel[1], &milliseconds, sizeof milliseconds) == sizeof milliseconds ? 0 : 1);
    }
    close(channel[1]);
    double milliseconds = -1;
    const bool read = ::read(channel[0], &milliseconds, sizeof milliseconds) == sizeof milliseconds;
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (child < 0 || !read || milliseconds < 0)
        qFatal("cannot measure touching fresh memory");
    return milliseconds;
}

template<typename Work>
double timed(Work work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// Answers the next message box with a button as soon as it shows.
void answerNextBox(QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, qApp, [button] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(button)->click();
    });
}

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double median(std::vector<double> samples);

struct Figure
{
    const char *name;
    std::vector<double> samples;
};

class Bench
{
public:
    Bench(const QString &file, const QString &area, const QString &catalogue, const QString &scratch)
        : m_file(file)
        , m_area(area)
        , m_catalogue(catalogue)
        , m_scratch(scratch)
        , m_window(std::make_unique<TfrmVantrel>())
    {
        m_window->show();
        m_list = m_window->findChild<StringListView *>(QStringLiteral("lstStrings"));
        chooseSearches();
    }

    void round()
    {
        add("touch_200mb_ms", touchFreshMemory());
        closeDocument();
        add("iconv_ms", runProcess(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("UTF-8"), QStringLiteral("-t"),
                                                             QStringLiteral("UTF-16LE"), m_area, QStringLiteral("-o"), QStringLiteral("/dev/null")}));
        {
            TZelkStrings table;
            add("load_ms", timed([&] { table.LoadFromFile(m_file); }));
            add("save_ms", timed([&] { table.SaveToFile(m_scratch + QStringLiteral("/saved.bin")); }));
        }
        // The list's part starts when the loaded table goes into the list.
        QElapsedTimer sinceFill;
        const QMetaObject::Connection fill = QObject::connect(m_list->model(), &QAbstractItemModel::modelAboutToBeReset,
                                                              [&] { sinceFill.start(); });
        double listPart = 0;
        add("open_show_ms", timed([&] {
            m_window->openDocument(m_file);
            m_window->repaint();
            listPart = double(sinceFill.nsecsElapsed()) / 1e6;
        }));
        QObject::disconnect(fill);
        add("open_list_ms", listPart);
        sortBy("sort_text_ms", 2);
        sortBy("sort_hash_ms", 1);
        sortBy("sort_index_ms", 0);
        findNothing();
        filterByTyping();
        previewReplacement();
        deleteScattered();
        add("cli_convert_ms", runProcess(QStringLiteral(ZELKSTR_PATH), {QStringLiteral("convert"), m_file,
                                                                      m_scratch + QStringLiteral("/converted.bin"),
                                                                      QStringLiteral("--layout"), QStringLiteral("old")}));
        add("cli_replace_ms", runProcess(QStringLiteral(ZELKSTR_PATH), {QStringLiteral("replace"), m_file, m_replaceFind,
                                                                      QStringLiteral("#"), QStringLiteral("-o"),
                                                                      m_scratch + QStringLiteral("/replaced.bin")}));
        add("msgfmt_ms", runProcess(QStringLiteral("msgfmt"), {QStringLiteral("-o"), QStringLiteral("/dev/null"), m_catalogue}));
        const QString exported = m_scratch + QStringLiteral("/exported.po");
        add("po_export_ms", runProcess(QStringLiteral(ZELKSTR_PATH), {QStringLiteral("export"), m_file, exported,
                                                                    QStringLiteral("--source"), m_file}));
        add("po_import_ms", runProcess(QStringLiteral(ZELKSTR_PATH), {QStringLiteral("import"), m_file, exported, QStringLiteral("-o"),
                                                                    m_scratch + QStringLiteral("/imported.bin")}));
    }

    // One click on "Text" with half the entries sharing 100 texts.
    void sharedRound(const QString &shared)
    {
        closeDocument();
        m_window->openDocument(shared);
        m_window->repaint();
        sortBy("sort_text_shared_ms", 2);
    }

    // With a reference open: opening the document (pairing included, the
    // marks of the rows shown) and sorting by the reference column; then the
    // same document with a review file of a tenth of its entries, and the
    // translator's loop through it.
    void referenceRound(const QString &reference, const QString &reviewed)
    {
        closeDocument();
        m_window->openReference(reference);
        add("open_reference_show_ms", timed([&] {
            m_window->openDocument(m_file);
            m_window->repaint();
        }));
        add("memory_stall_max_ms", longestStallFor(4000));
        sortBy("sort_reference_ms", 3);
        closeDocument();
        add("open_review_show_ms", timed([&] {
            m_window->openDocument(reviewed);
            m_window->repaint();
        }));
        m_list->selectItemIndex(0);
        auto *done = m_window->findChild<QAction *>(QStringLiteral("actTranslationDone"));
        std::vector<double> presses;
        for (int press = 0; press < 9; ++press)
            presses.push_back(timed([&] {
                done->trigger();
                m_window->repaint();
            }));
        add("done_next_ms", median(presses));
        closeDocument();
        m_window->findChild<QAction *>(QStringLiteral("actReferenceClose"))->trigger();
    }

    // The memory and the checks of the translator's tools: the memory of a
    // million pairs built and looked up as the window does it, check with
    // and without consistency and with spelling (a pair of dictionary words),
    // and the spelling of a 2,000-character text after a keystroke.
    void translatorRound(const QString &reference, const QString &words)
    {
        closeDocument();
        memoryFigures(m_file, reference, "memory_build_ms", "memory_lookup_ms");
        const QString wordsTranslation = QString(words).replace(QStringLiteral(".eng"), QStringLiteral(".fre"));
        memoryFigures(words, wordsTranslation, nullptr, "memory_lookup_words_ms");
        add("check_ms", runCheck({m_file, reference, QStringLiteral("--no-review"), QStringLiteral("--skip"), QStringLiteral("inconsistent")}));
        add("check_consistency_ms", runCheck({m_file, reference, QStringLiteral("--no-review")}));
        add("check_spell_ms", runCheck({words, wordsTranslation, QStringLiteral("--no-review"), QStringLiteral("--spell")}));
        spellAfterKeystroke(words, wordsTranslation);
    }

    const std::map<QString, std::vector<double>> &figures() const { return m_figures; }

private:
    void add(const char *name, double milliseconds) { m_figures[QString::fromLatin1(name)].push_back(milliseconds); }

    // The document of the last round goes, unsaved, so that its memory is
    // free for the model's own figures.
    void closeDocument()
    {
        if (m_window->isModified())
            answerNextBox(QMessageBox::No);
        m_window->findChild<QAction *>(QStringLiteral("actFileClose"))->trigger();
    }

    // The longest time the window spends without handling events while it
    // works in the background, over this many milliseconds.
    double longestStallFor(int milliseconds)
    {
        QElapsedTimer total;
        total.start();
        double longest = 0;
        while (total.elapsed() < milliseconds)
            longest = std::max(longest, timed([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); }));
        return longest;
    }

    void memoryFigures(const QString &documentName, const QString &sourceName, const char *build, const char *lookup)
    {
        TZelkStrings document;
        TZelkStrings source;
        document.LoadFromFile(documentName);
        source.LoadFromFile(sourceName);
        const std::vector<quint32> partners = Pairing::pair(document, source).takePartnersOfFirst();
        TranslationMemory memory;
        const double built = timed([&] { memory = TranslationMemory::ofDocument(document, source, partners); });
        if (build)
            add(build, built);
        std::mt19937_64 random(7);
        std::vector<double> lookups;
        while (lookups.size() < 101) {
            const quint32 entry = quint32(random() % document.EntryCount());
            if (partners[entry] != Pairing::NoPartner)
                lookups.push_back(timed([&] { memory.lookup(source.entryText(partners[entry]), entry); }));
        }
        add(lookup, median(lookups));
    }

    // A French text of 2,000 characters in the text editor with spelling on;
    // each keystroke timed until the editor has underlined it again.
    void spellAfterKeystroke(const QString &reference, const QString &document)
    {
        m_window->openReference(reference);
        m_window->openDocument(document);
        m_list->selectItemIndex(0);
        auto *editor = m_window->findChild<QPlainTextEdit *>(QStringLiteral("memCurString"));
        editor->setFocus();
        QString text;
        while (text.size() < 2000)
            text += QStringLiteral("Le chevalier ouvre la porte du chateau et regarde les montagnes lointaines sous la pluie. ");
        editor->selectAll();
        editor->insertPlainText(text.left(2000));
        QCoreApplication::processEvents();
        std::vector<double> keystrokes;
        for (int key = 0; key < 21; ++key) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, QStringLiteral("e"));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_E, Qt::NoModifier, QStringLiteral("e"));
            keystrokes.push_back(timed([&] {
                QCoreApplication::sendEvent(editor, &press);
                QCoreApplication::sendEvent(editor, &release);
            }));
        }
        add("spell_editor_ms", median(keystrokes));
        closeDocument();
        m_window->findChild<QAction *>(QStringLiteral("actReferenceClose"))->trigger();
    }

    void sortBy(const char *name, int column)
    {
        QHeaderView *header = m_list->horizontalHeader();
        add(name, timed([&] {
            Q_EMIT header->sectionClicked(column);
            m_window->repaint();
        }));
    }

    void findNothing()
    {
        m_list->deselectAll();
        auto *find = m_window->findChild<QDialog *>(QStringLiteral("dlgFind"));
        m_window->findChild<QAction *>(QStringLiteral("actEditFind"))->trigger();
        find->findChild<QLineEdit *>(QStringLiteral("edtFindText"))->setText(QStringLiteral("no such text: \u2603"));
        find->findChild<QRadioButton *>(QStringLiteral("rbDown"))->setChecked(true);
        answerNextBox(QMessageBox::Ok);
        add("find_miss_ms", timed([&] { find->findChild<QPushButton *>(QStringLiteral("btnFindNext"))->click(); }));
        find->hide();
    }

    // Types a word of one of the texts into the filter, a letter at a time,
    // each keystroke timed until the list shows its rows; the longest time
    // the window spends without handling events is noted too.
    void filterByTyping()
    {
        m_window->findChild<QAction *>(QStringLiteral("actTranslationFilter"))->trigger();
        auto *edit = m_window->findChild<QLineEdit *>(QStringLiteral("edtFilter"));
        auto *bar = m_window->findChild<FilterBar *>();
        std::vector<double> keystrokes;
        double longestStep = 0;
        for (qsizetype length = 1; length <= m_filterWord.size(); ++length) {
            keystrokes.push_back(timed([&] {
                longestStep = std::max(longestStep, timed([&] { edit->setText(m_filterWord.left(length)); }));
                while (bar->isBusy())
                    longestStep = std::max(longestStep, timed([] { QCoreApplication::processEvents(); }));
                m_window->repaint();
            }));
        }
        add("filter_keystroke_ms", median(keystrokes));
        add("filter_step_max_ms", longestStep);
        m_window->findChild<QAction *>(QStringLiteral("actTranslationFilter"))->trigger();
    }

    // A preview of a replacement in about 10,000 entries.
    void previewReplacement()
    {
        m_window->findChild<QAction *>(QStringLiteral("actTranslationReplace"))->trigger();
        auto *dialog = m_window->findChild<QDialog *>(QStringLiteral("frmReplace"));
        dialog->findChild<QLineEdit *>(QStringLiteral("edtReplaceFind"))->setText(m_replaceFind);
        dialog->findChild<QLineEdit *>(QStringLiteral("edtReplaceWith"))->setText(QStringLiteral("#"));
        add("replace_preview_ms", timed([&] {
            dialog->findChild<QPushButton *>(QStringLiteral("btnReplacePreview"))->click();
            dialog->repaint();
        }));
        dialog->hide();
    }

    void deleteScattered()
    {
        const int rows = m_list->model()->rowCount();
        const int step = std::max(1, rows / 10000);
        QItemSelection scattered;
        for (int row = step / 2; row < rows && scattered.size() < 10000; row += step)
            scattered.select(m_list->model()->index(row, 0), m_list->model()->index(row, 2));
        m_list->selectionModel()->select(scattered, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        answerNextBox(QMessageBox::Yes);
        add("delete_10k_ms", timed([&] {
            m_window->findChild<QAction *>(QStringLiteral("actStringsDelete"))->trigger();
            m_window->repaint();
        }));
    }

    // A word from the middle of the file to type into the filter, and a text
    // found in about 10,000 entries to replace.
    void chooseSearches()
    {
        TZelkStrings table;
        table.LoadFromFile(m_file);
        for (quint32 i = table.EntryCount() / 2; i < table.EntryCount() && m_filterWord.isEmpty(); ++i) {
            const QString &text = table.entryText(i);
            if (text.size() >= 8 && std::all_of(text.begin(), text.begin() + 7, [](QChar c) { return c.isLetter() && c.unicode() < 0x80; }))
                m_filterWord = text.left(7);
        }
        qint64 best = -1;
        for (const char *candidate : {"ab", "xy", "qu", "th", "zz", "abc", "ing", "the", "and", "qz"}) {
            const QString find = QString::fromLatin1(candidate);
            qint64 count = 0;
            for (quint32 i = 0; i < table.EntryCount(); ++i)
                count += table.entryText(i).contains(find, Qt::CaseInsensitive) ? 1 : 0;
            if (best < 0 || std::abs(count - 10000) < std::abs(best - 10000)) {
                best = count;
                m_replaceFind = find;
            }
        }
        std::printf("filter word \"%s\"; replacing \"%s\" in %lld entries\n", qPrintable(m_filterWord), qPrintable(m_replaceFind),
                    static_cast<long long>(best));
    }

    QString m_filterWord;
    QString m_replaceFind;
    QString m_file;
    QString m_area;
    QString m_catalogue;
    QString m_scratch;
    std::unique_ptr<TfrmVantrel> m_window;
    StringListView *m_list = nullptr;
    std::map<QString, std::vector<double>> m_figures;
};

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// ---------------------------------------------------------------------------
// Report

const char *const FigureOrder[] = {"touch_200mb_ms", "iconv_ms", "load_ms", "save_ms", "open_show_ms", "sort_text_ms",
                                   "sort_hash_ms", "sort_index_ms", "find_miss_ms", "filter_keystroke_ms", "filter_step_max_ms",
                                   "replace_preview_ms", "delete_10k_ms", "cli_convert_ms", "cli_replace_ms",
                                   "msgfmt_ms", "po_export_ms", "po_import_ms", "open_reference_show_ms",
                                   "open_review_show_ms", "done_next_ms", "sort_reference_ms", "sort_text_shared_ms",
                                   "memory_stall_max_ms", "memory_build_ms", "memory_lookup_ms", "memory_lookup_words_ms",
                                   "check_ms", "check_consistency_ms", "check_spell_ms", "spell_editor_ms"};

// Figures measured once, each in a process of its own.
struct OnceFigures
{
    double peakMegabytes = 0;
    qint64 fileBytes = 0;
    double empty10mMegabytes = 0;
    qint64 empty10mFileBytes = 0;
    double exportSharedMegabytes = 0;
};

void report(const std::map<QString, std::vector<double>> &figures, const OnceFigures &once, int entries, const QString &jsonPath)
{
    const double peakMegabytes = once.peakMegabytes;
    const qint64 fileBytes = once.fileBytes;
    const double listPart = median(figures.at(QStringLiteral("open_list_ms")));
    QJsonObject medians;
    medians.insert(QStringLiteral("entries"), entries);
    medians.insert(QStringLiteral("file_bytes"), fileBytes);
    std::printf("%-24s %10s %10s %10s\n", "figure", "median", "min", "max");
    for (const char *name : FigureOrder) {
        const std::vector<double> &samples = figures.at(QString::fromLatin1(name));
        const double middle = median(samples);
        medians.insert(QString::fromLatin1(name), qRound64(middle * 10) / 10.0);
        std::printf("%-24s %10.1f %10.1f %10.1f\n", name, middle, *std::min_element(samples.begin(), samples.end()),
                    *std::max_element(samples.begin(), samples.end()));
    }
    const auto insertOnce = [&](const char *name, double value) {
        medians.insert(QString::fromLatin1(name), qRound64(value * 10) / 10.0);
        std::printf("%-24s %10.1f\n", name, value);
    };
    insertOnce("peak_rss_mb", peakMegabytes);
    insertOnce("empty10m_rss_mb", once.empty10mMegabytes);
    medians.insert(QStringLiteral("empty10m_file_bytes"), once.empty10mFileBytes);
    std::printf("%-24s %10lld\n", "empty10m_file_bytes", static_cast<long long>(once.empty10mFileBytes));
    insertOnce("export_shared_rss_mb", once.exportSharedMegabytes);
    const double touch = median(figures.at(QStringLiteral("touch_200mb_ms")));
    std::printf("(touching 200 MB of fresh memory took %.0f ms: %.1f us per 4 KB page)\n", touch, touch * 1000 / 51200);
    std::printf("(of open_show_ms, the list's part, fill and first paint: %.1f)\n\n", listPart);

    const auto value = [&](const char *name) { return medians.value(QString::fromLatin1(name)).toDouble(); };
    const double fileMegabytes = double(fileBytes) / (1024.0 * 1024.0);
    const double emptyMegabytes = double(once.empty10mFileBytes) / (1024.0 * 1024.0);
    const struct
    {
        const char *goal;
        double measured;
        double limit;
    } goals[] = {
        {"load_ms / iconv_ms <= 1.5", value("load_ms") / value("iconv_ms"), 1.5},
        {"save_ms / iconv_ms <= 1.75", value("save_ms") / value("iconv_ms"), 1.75},
        {"open_show_ms <= 350", value("open_show_ms"), 350},
        {"list part of open_show_ms <= 200", listPart, 200},
        {"open_reference_show_ms <= 300", value("open_reference_show_ms"), 300},
        {"open_review_show_ms - open_reference_show_ms <= 300", value("open_review_show_ms") - value("open_reference_show_ms"), 300},
        {"done_next_ms <= 50", value("done_next_ms"), 50},
        {"memory_build_ms <= 2000", value("memory_build_ms"), 2000},
        {"memory_stall_max_ms <= 100", value("memory_stall_max_ms"), 100},
        {"memory_lookup_ms <= 20", value("memory_lookup_ms"), 20},
        {"check_consistency_ms / check_ms <= 1.2", value("check_consistency_ms") / value("check_ms"), 1.2},
        {"check_spell_ms / msgfmt_ms <= 0.5", value("check_spell_ms") / value("msgfmt_ms"), 0.5},
        {"spell_editor_ms <= 5", value("spell_editor_ms"), 5},
        {"sort_text_ms <= 250", value("sort_text_ms"), 250},
        {"sort_text_shared_ms <= 300", value("sort_text_shared_ms"), 300},
        {"sort_reference_ms <= 1000", value("sort_reference_ms"), 1000},
        {"sort_hash_ms <= 150", value("sort_hash_ms"), 150},
        {"sort_index_ms <= 150", value("sort_index_ms"), 150},
        {"find_miss_ms <= 300", value("find_miss_ms"), 300},
        {"filter_keystroke_ms <= 100", value("filter_keystroke_ms"), 100},
        {"filter_step_max_ms <= 100", value("filter_step_max_ms"), 100},
        {"replace_preview_ms <= 1000", value("replace_preview_ms"), 1000},
        {"cli_replace_ms / cli_convert_ms <= 1.5", value("cli_replace_ms") / value("cli_convert_ms"), 1.5},
        {"delete_10k_ms <= 300", value("delete_10k_ms"), 300},
        {"peak_rss_mb / file MB <= 3", value("peak_rss_mb") / fileMegabytes, 3},
        {"cli_convert_ms / msgfmt_ms <= 0.06", value("cli_convert_ms") / value("msgfmt_ms"), 0.06},
        {"po_export_ms / msgfmt_ms <= 1", value("po_export_ms") / value("msgfmt_ms"), 1},
        {"po_import_ms / msgfmt_ms <= 1", value("po_import_ms") / value("msgfmt_ms"), 1},
        {"empty10m_rss_mb / file MB <= 6", value("empty10m_rss_mb") / emptyMegabytes, 6},
        {"export_shared_rss_mb <= 64", value("export_shared_rss_mb"), 64},
    };
    std::printf("%-44s %10s  %s\n", "goal", "measured", "");
    for (const auto &goal : goals)
        std::printf("%-44s %10.2f  %s\n", goal.goal, goal.measured, goal.measured <= goal.limit ? "met" : "MISSED");

    QFile json(jsonPath);
    if (!json.open(QIODevice::WriteOnly) || json.write(QJsonDocument(medians).toJson()) < 0)
        qFatal("cannot write %s", qPrintable(jsonPath));
    std::printf("\nmedians written to %s\n", qPrintable(QFileInfo(jsonPath).absoluteFilePath()));
}

// The offscreen platform's notes about window features it lacks.
void quietPlatformNotes(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietPlatformNotes);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window's recovery copies and word lists go to a folder of the
    // bench's own, not the user's.
    const QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // The editor's window reads the command line for a file to open: it
    // gets the program's name only.
    int applicationArgc = 1;
    QApplication application(applicationArgc, argv);
    QCommandLineParser parser;
    const QCommandLineOption entriesOption(QStringLiteral("entries"), QStringLiteral("Entries in the file."), QStringLiteral("N"), QStringLiteral("1000000"));
    const QCommandLineOption roundsOption(QStringLiteral("rounds"), QStringLiteral("Rounds of measurements."), QStringLiteral("R"), QStringLiteral("3"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Seed of the generated texts."), QStringLiteral("S"), QStringLiteral("20261209"));
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("Where the medians go."), QStringLiteral("FILE"),
                                       QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-results.json"));
    const QCommandLineOption generateOption(QStringLiteral("generate"), QStringLiteral("Only write the test file."), QStringLiteral("FILE"));
    const QCommandLineOption translateOption(QStringLiteral("translate"),
                                             QStringLiteral("Only write a translation of the --generate file."), QStringLiteral("FILE"));
    const QCommandLineOption reviewOption(QStringLiteral("review"),
                                          QStringLiteral("Only write a copy of the --generate file with a review file."), QStringLiteral("FILE"));
    const QCommandLineOption kindOption(QStringLiteral("kind"), QStringLiteral("What --generate writes: texts, shared, empty, long-shared or words (FILE.eng and FILE.fre)."),
                                        QStringLiteral("KIND"), QStringLiteral("texts"));
    const QCommandLineOption openOption(QStringLiteral("open"), QStringLiteral("Only open FILE in the window, for its memory."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption withReferenceOption(QStringLiteral("with-reference"),
                                                 QStringLiteral("With --open: open this reference first."), QStringLiteral("FILE"));
    const QCommandLineOption clickOption(QStringLiteral("click"), QStringLiteral("With --open: click this column's header."),
                                         QStringLiteral("COLUMN"));
    parser.addOptions({entriesOption, roundsOption, seedOption, outOption, generateOption, translateOption, reviewOption, kindOption,
                       openOption, withReferenceOption, clickOption});
    parser.addHelpOption();
    parser.process(arguments);
    const int entries = parser.value(entriesOption).toInt();
    const quint64 seed = parser.value(seedOption).toULongLong();

    if (parser.isSet(reviewOption)) {
        generateReview(parser.value(generateOption), parser.value(reviewOption));
        return 0;
    }
    if (parser.isSet(translateOption)) {
        generateReference(parser.value(generateOption), parser.value(translateOption), seed);
        return 0;
    }
    if (parser.isSet(generateOption)) {
        const QString kind = parser.value(kindOption);
        const QString path = parser.value(generateOption);
        if (kind == QLatin1String("shared"))
            generateSharedTexts(path, entries, seed);
        else if (kind == QLatin1String("empty"))
            generateEmpty(path, entries, seed);
        else if (kind == QLatin1String("words"))
            generateWords(path, entries, seed);
        else if (kind == QLatin1String("long-shared"))
            generateLongShared(path, entries, seed);
        else
            generate(path, entries, seed);
        return 0;
    }
    if (parser.isSet(openOption)) {
        TfrmVantrel window;
        window.show();
        if (parser.isSet(withReferenceOption))
            window.openReference(parser.value(withReferenceOption));
        const double opening = timed([&] {
            window.openDocument(parser.value(openOption));
            window.repaint();
        });
        std::printf("open: %.1f ms\n", opening);
        // Clicks on column headers, for a profile of sorting.
        for (const QString &column : parser.values(clickOption)) {
            const double milliseconds = timed([&] {
                Q_EMIT window.findChild<StringListView *>(QStringLiteral("lstStrings"))->horizontalHeader()->sectionClicked(column.toInt());
                window.repaint();
            });
            std::printf("click on column %s: %.1f ms\n", qPrintable(column), milliseconds);
        }
        return 0;
    }

    QTemporaryDir scratch;
    const QString file = scratch.filePath(QStringLiteral("bench.eng"));
    const QString area = scratch.filePath(QStringLiteral("strings.utf8"));
    const QString catalogue = scratch.filePath(QStringLiteral("bench.po"));
    // Made by other processes, so that their memory stays out of this one's peak.
    std::printf("generating %d entries (seed %llu)...\n", entries, static_cast<unsigned long long>(seed));
    runProcess(QCoreApplication::applicationFilePath(), {QStringLiteral("--generate"), file, QStringLiteral("--entries"),
                                                        QString::number(entries), QStringLiteral("--seed"), QString::number(seed)});
    const QString reference = scratch.filePath(QStringLiteral("bench.fre"));
    runProcess(QCoreApplication::applicationFilePath(), {QStringLiteral("--generate"), file, QStringLiteral("--translate"),
                                                        reference, QStringLiteral("--seed"), QString::number(seed)});
    const QString reviewed = scratch.filePath(QStringLiteral("reviewed.eng"));
    runProcess(QCoreApplication::applicationFilePath(), {QStringLiteral("--generate"), file, QStringLiteral("--review"), reviewed});
    const auto generateKind = [&](const char *kind, const QString &path, int count) {
        runProcess(QCoreApplication::applicationFilePath(), {QStringLiteral("--generate"), path, QStringLiteral("--kind"),
                                                            QString::fromLatin1(kind), QStringLiteral("--entries"),
                                                            QString::number(count), QStringLiteral("--seed"), QString::number(seed)});
    };
    const QString shared = scratch.filePath(QStringLiteral("shared.eng"));
    const QString empty = scratch.filePath(QStringLiteral("empty.eng"));
    const QString longShared = scratch.filePath(QStringLiteral("long-shared.eng"));
    generateKind("shared", shared, entries);
    generateKind("empty", empty, 10 * entries);
    generateKind("long-shared", longShared, 20000);
    const QString words = scratch.filePath(QStringLiteral("words.eng"));
    generateKind("words", words, entries);
    writeStringArea(file, area);
    std::printf("writing the PO catalogue for msgfmt...\n");
    runProcess(QStringLiteral(ZELKSTR_PATH), {QStringLiteral("export"), file, catalogue});
    const qint64 fileBytes = QFileInfo(file).size();
    std::printf("file: %lld bytes\n", static_cast<long long>(fileBytes));

    OnceFigures once;
    once.fileBytes = fileBytes;
    std::printf("opening %d empty entries in a window of its own...\n", 10 * entries);
    std::fflush(stdout);
    once.empty10mFileBytes = QFileInfo(empty).size();
    once.empty10mMegabytes = measureProcess(QCoreApplication::applicationFilePath(), {QStringLiteral("--open"), empty}).peakMegabytes;
    // The output's name says CSV; the bytes go to /dev/null.
    const QString nullCsv = scratch.filePath(QStringLiteral("null.csv"));
    if (!QFile::link(QStringLiteral("/dev/null"), nullCsv))
        qFatal("cannot link %s", qPrintable(nullCsv));
    once.exportSharedMegabytes = measureProcess(QStringLiteral(ZELKSTR_PATH), {QStringLiteral("export"), longShared, nullCsv}).peakMegabytes;

    Bench bench(file, area, catalogue, scratch.path());
    const int rounds = std::max(1, parser.value(roundsOption).toInt());
    for (int round = 1; round <= rounds; ++round) {
        std::printf("round %d of %d\n", round, rounds);
        std::fflush(stdout);
        bench.round();
    }
    // The reference doubles the tables in memory, so its rounds come after
    // the peak of the others is taken.
    once.peakMegabytes = peakResidentMegabytes();
    for (int round = 1; round <= rounds; ++round) {
        std::printf("reference and shared-text round %d of %d\n", round, rounds);
        std::fflush(stdout);
        bench.referenceRound(reference, reviewed);
        bench.sharedRound(shared);
        bench.translatorRound(reference, words);
    }
    report(bench.figures(), once, entries, parser.value(outOption));
    return 0;
}
