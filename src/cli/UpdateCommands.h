#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>

// The commands for a new version of the game: carrying a translation over,
// checking a translation against its source, and comparing by number. Each
// returns the exit status and says on stderr how it paired the files.
namespace UpdateCommands {

// Writes OUTPUT.review.json beside the new translation unless writeReview
// is false.
int merge(const QString &oldSource, const QString &oldTranslation, const QString &newSource, const QString &output,
          const QString &jsonReport, bool writeReview);

struct CheckOptions
{
    bool json = false;
    QList<QRegularExpression> placeholders;
    double maxLengthRatio = 0;
    // The translation's review file: TRANSLATION.review.json when it exists,
    // unless another is named or none is wanted.
    QString reviewFile;
    bool noReview = false;
    // The kinds to report: all but skipped ones, or only these.
    QStringList only;
    QStringList skip;
    // Spelling: the dictionary (by the translation's extension unless
    // given) and word lists of accepted words.
    bool spell = false;
    QString spellLanguage;
    QStringList words;
    // A glossary whose terms the translations must keep.
    QString glossary;
};
// The names of every kind check reports.
QStringList checkKindNames();
int check(const QString &source, const QString &translation, const CheckOptions &options);

int diffByNumber(const QString &oldFile, const QString &newFile);

// The misspelt words of one file alone, as check --spell reports them.
int spell(const QString &fileName, const CheckOptions &options);

} // namespace UpdateCommands
