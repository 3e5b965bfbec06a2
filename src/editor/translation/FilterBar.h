#pragma once

#include "TextMatching.h"

#include <QObject>
#include <QTimer>

#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;
class TranslationCommands;

// The filter over the list: a text that matches an entry's text, its
// reference text, its number or its index, and a choice of the rows that
// still need work. While it is in use the list shows only the matching rows,
// and every command works on what is shown; a row that stops matching after
// an edit stays until the filter changes.
class FilterBar : public QObject
{
    Q_OBJECT

public:
    explicit FilterBar(TranslationCommands &tools);
    ~FilterBar() override;

    QList<QAction *> actions() const;
    bool isActive() const { return m_active; }
    void updateActions(bool documentOpen);

    // The window's hooks, through the translator's tools.
    void documentChanged();
    void documentClosed();
    void entryAdded();
    void entriesDeleted(const std::vector<quint32> &indices);
    void entryMoved(quint32 from, quint32 to);

    // Whether a filtering is still under way, for those who wait for it.
    bool isBusy() const { return m_timer.isActive(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Choice { All, Unfinished, Untranslated, Problems, ToReview };

    void createBar();
    void toggle();
    void open();
    void closeBar();
    void restart();
    void filterSome();
    void apply();
    bool matches(quint32 index) const;
    void showCount();

    TranslationCommands &m_tools;
    QAction *actTranslationFilter = nullptr;
    QWidget *pnlFilter = nullptr;
    QLineEdit *edtFilter = nullptr;
    QComboBox *cmbFilter = nullptr;
    QLabel *lblFilterCount = nullptr;

    bool m_active = false;
    // Per entry: whether the list shows it.
    std::vector<quint8> m_shown;
    bool m_stale = false;
    // The filtering under way: the entries still to look at, and those that
    // match so far.
    FoldedMatcher m_matcher;
    QString m_text;
    QString m_hexNeedle;   // the text as a number's digits, or empty
    qint64 m_indexNeedle = -1; // the text as an index, or -1
    int m_choice = All;
    std::vector<quint32> m_candidates;
    size_t m_next = 0;
    std::vector<quint32> m_matching;
    QTimer m_timer;
};
