#pragma once

#include <QTextEdit>

// How an entry's source text changed, read-only: the text before, with the
// words that went struck through, above the text now, with the words that
// came underlined; the marks read without colour.
class ChangeView : public QTextEdit
{
    Q_OBJECT

public:
    explicit ChangeView(QWidget *parent = nullptr);

    void showChange(const QString &before, const QString &after);

    // The height that shows the whole change, for the panel's layout.
    QSize sizeHint() const override;
};
