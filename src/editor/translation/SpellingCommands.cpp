#include "SpellingCommands.h"

#include "ActionRunner.h"
#include "CommandAction.h"
#include "Languages.h"
#include "SpellChecker.h"
#include "TranslationChecks.h"
#include "TranslationCommands.h"
#include "TranslationError.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextBlock>

// Underlines the misspelt words of each line of the text editor.
class SpellHighlighter : public QSyntaxHighlighter
{
public:
    SpellHighlighter(QPlainTextEdit *editor, std::function<SpellChecker *()> checker, const QString &reference,
                     const TranslationChecker &placeholders)
        : QSyntaxHighlighter(editor->document())
        , m_editor(editor)
        , m_checker(std::move(checker))
        , m_reference(reference)
        , m_placeholders(placeholders)
    {
        m_format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
        m_format.setUnderlineColor(Qt::red);
    }

    void setEnabled(bool enabled)
    {
        m_enabled = enabled;
        rehighlightQuietly();
    }

    // New underlines are no edit: the text editor must not report a change,
    // which the window would take for typing and write into the current
    // entry.
    void rehighlightQuietly()
    {
        const QSignalBlocker quiet(m_editor);
        rehighlight();
    }

protected:
    void highlightBlock(const QString &text) override
    {
        SpellChecker *checker = m_enabled ? m_checker() : nullptr;
        if (!checker)
            return;
        for (const SpellChecker::Misspelling &misspelling : checker->misspellings(text, m_reference, m_placeholders))
            setFormat(int(misspelling.span.start), int(misspelling.span.length), m_format);
    }

private:
    QPlainTextEdit *m_editor;
    std::function<SpellChecker *()> m_checker;
    const QString &m_reference;
    const TranslationChecker &m_placeholders;
    QTextCharFormat m_format;
    bool m_enabled = false;
};

SpellingCommands::SpellingCommands(TranslationCommands &tools)
    : QObject(tools.host().window)
    , m_tools(tools)
    , m_placeholders(std::make_unique<TranslationChecker>())
{
    createActions();
    QPlainTextEdit *editor = tools.host().textEditor;
    m_highlighter = new SpellHighlighter(
        editor, [this] { return checker(); }, m_reference, *m_placeholders);
    // The menu is asked for where the pointer is: on the editor's viewport.
    editor->installEventFilter(this);
    editor->viewport()->installEventFilter(this);
}

SpellingCommands::~SpellingCommands() = default;

void SpellingCommands::createActions()
{
    QWidget *window = m_tools.host().window;
    actTranslationSpelling = makeCommandAction(window, "actTranslationSpelling", "Translation", "Check &Spelling",
                                               "Check Spelling|Underline the misspelt words of the text being edited", "F7", -1);
    actTranslationSpelling->setCheckable(true);
    m_tools.host().runner->bind(actTranslationSpelling, [this] {
        m_choice = actTranslationSpelling->isChecked() ? 1 : 0;
        apply();
    });
    mnuSpellingLanguage = new QMenu(QStringLiteral("Spelling &Language"), m_tools.menu());
    mnuSpellingLanguage->setObjectName(QStringLiteral("mnuSpellingLanguage"));
    m_languages = new QActionGroup(this);
    m_languages->setExclusive(true);
    connect(mnuSpellingLanguage, &QMenu::aboutToShow, this, &SpellingCommands::fillLanguages);
    m_tools.menu()->addSeparator();
    m_tools.menu()->addAction(actTranslationSpelling);
    m_tools.menu()->addMenu(mnuSpellingLanguage);
    fillLanguages();
}

// The dictionaries found, the one in use checked.
void SpellingCommands::fillLanguages()
{
    mnuSpellingLanguage->clear();
    for (QAction *old : m_languages->actions())
        m_languages->removeAction(old);
    const QString inUse = language();
    for (const QString &code : Dictionaries::available()) {
        const Language *known = Languages::ofDictionary(code);
        QAction *choice = mnuSpellingLanguage->addAction(known ? QStringLiteral("%1 (%2)").arg(QLatin1String(known->name), code) : code);
        choice->setObjectName(QStringLiteral("actSpelling_") + code);
        choice->setCheckable(true);
        choice->setChecked(code == inUse);
        m_languages->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, code] {
            m_chosenLanguage = code;
            m_choice = 1;
            apply();
        });
    }
    if (mnuSpellingLanguage->isEmpty())
        mnuSpellingLanguage->addAction(QStringLiteral("No dictionaries found"))->setEnabled(false);
}

QList<QAction *> SpellingCommands::actions() const
{
    return {actTranslationSpelling};
}

bool SpellingCommands::isOn() const
{
    if (m_choice >= 0)
        return m_choice == 1;
    return m_tools.state().isOpen() && Dictionaries::exists(language());
}

QString SpellingCommands::language() const
{
    return m_chosenLanguage.isEmpty() ? Dictionaries::forFile(m_tools.host().documentName()) : m_chosenLanguage;
}

SpellChecker *SpellingCommands::checker()
{
    const QString code = language();
    if (code.isEmpty() || m_failed.contains(code) || !Dictionaries::exists(code))
        return nullptr;
    auto found = m_checkers.find(code);
    if (found == m_checkers.end()) {
        try {
            auto checker = std::make_unique<SpellChecker>(code);
            checker->acceptFile(Dictionaries::personalWordsFile(code));
            found = m_checkers.emplace(code, std::move(checker)).first;
        } catch (const TranslationError &error) {
            m_failed.insert(code);
            m_tools.host().showStatus(error.message());
            return nullptr;
        }
    }
    for (const QString &word : m_ignored.value(code))
        found->second->accept(word);
    return found->second.get();
}

void SpellingCommands::apply()
{
    const bool on = isOn();
    actTranslationSpelling->setChecked(on);
    m_highlighter->setEnabled(on);
    m_tools.refresh();
}

void SpellingCommands::updateActions(bool documentOpen)
{
    Q_UNUSED(documentOpen);
    const bool on = isOn();
    if (actTranslationSpelling->isChecked() != on) {
        actTranslationSpelling->setChecked(on);
        m_highlighter->setEnabled(on);
    }
}

void SpellingCommands::showCurrent(int index)
{
    const QString *reference = index >= 0 ? m_tools.state().referenceText(quint32(index)) : nullptr;
    const QString text = reference ? *reference : QString();
    if (text == m_reference)
        return;
    m_reference = text;
    if (isOn())
        m_highlighter->rehighlightQuietly();
}

QString SpellingCommands::statusText() const
{
    if (!isOn() && !(m_choice < 0 && m_tools.state().isOpen()))
        return QString();
    const QString code = language();
    const Language *known = Languages::ofDictionary(code);
    const QString name = known ? QStringLiteral("%1 (%2)").arg(QLatin1String(known->name), code) : code;
    if (code.isEmpty())
        return QStringLiteral("spelling: the document's language is not known");
    if (!Dictionaries::exists(code) || m_failed.contains(code))
        return QStringLiteral("no %1 dictionary for spelling").arg(name);
    return isOn() ? QStringLiteral("spelling: %1").arg(name) : QString();
}

bool SpellingCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ContextMenu && isOn()) {
        auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        // From the keyboard the editor itself asks, in its own coordinates.
        QPlainTextEdit *editor = m_tools.host().textEditor;
        const QPoint position = watched == editor ? editor->viewport()->mapFrom(editor, menuEvent->pos()) : menuEvent->pos();
        m_tools.host().runner->guard([&] { showContextMenu(position, menuEvent->globalPos()); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// The editor's own menu, with the suggestions for a misspelt word under the
// pointer at its top.
void SpellingCommands::showContextMenu(const QPoint &position, const QPoint &globalPosition)
{
    QPlainTextEdit *editor = m_tools.host().textEditor;
    std::unique_ptr<QMenu> menu(editor->createStandardContextMenu(position));
    const QTextCursor at = editor->cursorForPosition(position);
    const QTextBlock block = at.block();
    const int column = at.positionInBlock();
    SpellChecker *speller = checker();
    QAction *first = menu->actions().value(0);
    if (speller) {
        for (const SpellChecker::Misspelling &misspelling : speller->misspellings(block.text(), m_reference, *m_placeholders)) {
            if (column < misspelling.span.start || column > misspelling.span.start + misspelling.span.length)
                continue;
            const QString word = misspelling.word;
            const int start = block.position() + int(misspelling.span.start);
            const int end = start + int(misspelling.span.length);
            for (const QString &suggestion : speller->suggestions(word, 8)) {
                QAction *replace = new QAction(suggestion, menu.get());
                connect(replace, &QAction::triggered, this, [editor, start, end, suggestion] {
                    // As typed: the field's Undo takes it back.
                    QTextCursor cursor = editor->textCursor();
                    cursor.setPosition(start);
                    cursor.setPosition(end, QTextCursor::KeepAnchor);
                    editor->setTextCursor(cursor);
                    editor->insertPlainText(suggestion);
                });
                menu->insertAction(first, replace);
            }
            QAction *add = new QAction(QStringLiteral("Add to Dictionary"), menu.get());
            add->setObjectName(QStringLiteral("actSpellingAdd"));
            connect(add, &QAction::triggered, this, [this, word] { m_tools.host().runner->guard([&] { addToDictionary(word); }); });
            QAction *ignoreWord = new QAction(QStringLiteral("Ignore"), menu.get());
            ignoreWord->setObjectName(QStringLiteral("actSpellingIgnore"));
            connect(ignoreWord, &QAction::triggered, this, [this, word] { ignore(word); });
            menu->insertSeparator(first);
            menu->insertAction(first, add);
            menu->insertAction(first, ignoreWord);
            menu->insertSeparator(first);
            break;
        }
    }
    menu->setObjectName(QStringLiteral("mnuSpelling"));
    menu->exec(globalPosition);
}

// The word goes into the language's personal list, one word a line, which
// the editor and zelkstr read from then on.
void SpellingCommands::addToDictionary(const QString &word)
{
    const QString code = language();
    const QString path = Dictionaries::personalWordsFile(code);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    const QByteArray line = word.toUtf8() + '\n';
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(line) != line.size() || !file.flush())
        throw TranslationError(QStringLiteral("Cannot write \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    if (SpellChecker *speller = checker())
        speller->accept(word);
    m_highlighter->rehighlightQuietly();
}

void SpellingCommands::ignore(const QString &word)
{
    m_ignored[language()].insert(word);
    if (SpellChecker *speller = checker())
        speller->accept(word);
    m_highlighter->rehighlightQuietly();
}
