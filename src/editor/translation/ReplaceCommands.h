#pragma once

#include <QObject>

class QAction;
class ReplaceDialog;
class TranslationCommands;

// Replace: a text or pattern replaced in the document's texts (never the
// reference's), in every entry, the shown ones or the selected ones, after a
// preview in which each change can be left out.
class ReplaceCommands : public QObject
{
    Q_OBJECT

public:
    explicit ReplaceCommands(TranslationCommands &tools);
    ~ReplaceCommands() override;

    QList<QAction *> actions() const;
    void updateActions(bool documentOpen);
    // The document changed under a preview: it no longer holds.
    void documentChanged();

private:
    void preview();
    void replace();
    std::vector<quint32> entriesInScope() const;

    TranslationCommands &m_tools;
    QAction *actTranslationReplace = nullptr;
    ReplaceDialog *frmReplace = nullptr;
    bool m_previewCurrent = false;
};
