#include "Languages.h"

#include <QFileInfo>

namespace {

const Language Known[] = {
    {"eng", "English", {QStringLiteral("en_US"), QStringLiteral("en_GB")}, "hunspell-en-us"},
    {"fre", "French", {QStringLiteral("fr_FR")}, "hunspell-fr"},
    {"ger", "German", {QStringLiteral("de_DE")}, "hunspell-de-de"},
    {"cze", "Czech", {QStringLiteral("cs_CZ")}, "hunspell-cs"},
    {"swe", "Swedish", {QStringLiteral("sv_SE")}, "hunspell-sv"},
    // Debian packages no Hunspell dictionary for Finnish.
    {"fin", "Finnish", {QStringLiteral("fi_FI")}, ""},
};

} // namespace

const Language *Languages::ofFile(const QString &fileName)
{
    const QString extension = QFileInfo(fileName).suffix().toLower();
    for (const Language &language : Known) {
        if (extension == QLatin1String(language.extension))
            return &language;
    }
    return nullptr;
}

const Language *Languages::ofDictionary(const QString &code)
{
    for (const Language &language : Known) {
        if (language.dictionaries.contains(code))
            return &language;
    }
    return nullptr;
}

QString Languages::tag(const QString &fileName)
{
    const Language *language = ofFile(fileName);
    return language ? QString(language->dictionaries.first()).replace(QLatin1Char('_'), QLatin1Char('-')) : QString();
}

QString Languages::label(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const Language *language = ofFile(fileName);
    return language ? QStringLiteral("%1 \u2014 %2").arg(QLatin1String(language->name), name) : name;
}
