#pragma once

#include "ContentChecks.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

// One entry a replacement would change, as the preview shows it.
struct ReplaceChange
{
    quint32 index = 0;
    QString before;
    QString after;
    std::vector<ContentChecks::Span> removed; // in before
    std::vector<ContentChecks::Span> added;   // in after
    int occurrences = 0;
    QString structure; // what it does to placeholders and line breaks
    bool checked = true;
};

// The preview's rows: the index with a check box, the text before and after
// with the changed parts marked, and what the change does to placeholders,
// tags and line breaks.
class ReplacePreviewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { IndexColumn, BeforeColumn, AfterColumn, NoteColumn, ColumnCount };
    static constexpr int SpansRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setChanges(std::vector<ReplaceChange> changes);
    const std::vector<ReplaceChange> &changes() const { return m_changes; }

private:
    std::vector<ReplaceChange> m_changes;
};

// The modeless Replace dialog: what to find and what to put in its place,
// how to match, where, and the preview of every entry that would change.
class ReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Scope { All, Shown, Selected };

    explicit ReplaceDialog(QWidget *parent);

    QString findText() const;
    QString replacement() const;
    bool matchCase() const;
    bool wholeWords() const;
    bool regex() const;
    Scope scope() const;

    ReplacePreviewModel *preview() const { return m_preview; }
    void showResult(const QString &text);
    void showOrRaise();

Q_SIGNALS:
    void previewRequested();
    void replaceRequested();
    // What to find or how changed: a preview shown no longer holds.
    void settingsChanged();

private:
    QLineEdit *edtReplaceFind;
    QLineEdit *edtReplaceWith;
    QCheckBox *chkReplaceMatchCase;
    QCheckBox *chkReplaceWholeWords;
    QCheckBox *chkReplaceRegex;
    QRadioButton *rbReplaceAll;
    QRadioButton *rbReplaceShown;
    QRadioButton *rbReplaceSelected;
    QTableView *lstReplacePreview;
    QLabel *lblReplaceResult;
    ReplacePreviewModel *m_preview;
};
