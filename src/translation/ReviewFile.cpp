#include "ReviewFile.h"

#include "AtomicFileWriter.h"
#include "JsonText.h"
#include "TranslationError.h"
#include "uZelkStrings.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString Format = QStringLiteral("zelkstr-review");

struct StateName
{
    ReviewEntry::State state;
    const char *name;
};
const StateName StateNames[] = {{ReviewEntry::State::Changed, "changed"},
                                {ReviewEntry::State::New, "new"},
                                {ReviewEntry::State::Fuzzy, "fuzzy"},
                                {ReviewEntry::State::Accepted, "accepted"}};

[[noreturn]] void fail(const QString &path, const QString &reason)
{
    throw TranslationError(QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), reason));
}

// Line and column of a byte offset, for a parse error a person can find.
QString positionOf(const QByteArray &bytes, qsizetype offset)
{
    const QByteArray before = bytes.left(offset);
    const qsizetype line = before.count('\n') + 1;
    const qsizetype column = offset - (before.lastIndexOf('\n') + 1) + 1;
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}

bool readNumber(const QJsonValue &value, quint32 &number)
{
    const QString text = value.toString();
    bool ok = false;
    number = text.size() == 8 ? text.toUInt(&ok, 16) : 0;
    return ok;
}

ReviewEntry readEntry(const QJsonObject &object, bool byNumber, const QString &path, qsizetype position)
{
    const auto entryFail = [&](const QString &reason) { fail(path, QStringLiteral("entry %1: %2").arg(position + 1).arg(reason)); };
    ReviewEntry entry;
    const QString state = object.value(QStringLiteral("state")).toString();
    const auto known = std::find_if(std::begin(StateNames), std::end(StateNames),
                                    [&](const StateName &name) { return state == QLatin1String(name.name); });
    if (known == std::end(StateNames))
        entryFail(QStringLiteral("unknown state \"%1\"").arg(state));
    entry.state = known->state;
    const QJsonValue index = object.value(QStringLiteral("index"));
    if (!index.isDouble() || index.toDouble() < 0 || index.toDouble() > 4294967295.0
        || index.toDouble() != double(quint32(index.toDouble())))
        entryFail(QStringLiteral("no index"));
    entry.index = quint32(index.toDouble());
    if (!readNumber(object.value(QStringLiteral("number")), entry.number) && byNumber)
        entryFail(QStringLiteral("no number of eight hexadecimal digits"));
    entry.oldSource = object.value(QStringLiteral("old_source")).toString();
    entry.newSource = object.value(QStringLiteral("new_source")).toString();
    entry.score = object.value(QStringLiteral("score")).toInt();
    for (const QJsonValue &kind : object.value(QStringLiteral("kinds")).toArray())
        entry.kinds << kind.toString();
    entry.source = object.value(QStringLiteral("source")).toString();
    entry.text = object.value(QStringLiteral("text")).toString();
    return entry;
}

void appendField(QByteArray &out, const char *name, const QString &text)
{
    out.append(", \"").append(name).append("\": ");
    appendJsonString(out, text);
}

void appendEntry(QByteArray &out, const ReviewEntry &entry)
{
    out.append("  {\"number\": \"").append(formatNumber(entry.number).toLatin1());
    out.append("\", \"index\": ").append(QByteArray::number(entry.index));
    out.append(", \"state\": \"").append(ReviewFile::stateName(entry.state).toLatin1()).append('"');
    switch (entry.state) {
    case ReviewEntry::State::Changed:
        appendField(out, "old_source", entry.oldSource);
        appendField(out, "new_source", entry.newSource);
        break;
    case ReviewEntry::State::New:
        appendField(out, "new_source", entry.newSource);
        break;
    case ReviewEntry::State::Fuzzy:
        out.append(", \"score\": ").append(QByteArray::number(entry.score));
        appendField(out, "old_source", entry.oldSource);
        appendField(out, "new_source", entry.newSource);
        break;
    case ReviewEntry::State::Accepted:
        out.append(", \"kinds\": [");
        for (qsizetype i = 0; i < entry.kinds.size(); ++i) {
            if (i)
                out.append(", ");
            appendJsonString(out, entry.kinds[i]);
        }
        out.append(']');
        appendField(out, "source", entry.source);
        appendField(out, "text", entry.text);
        break;
    }
    out.append('}');
}

} // namespace

QString ReviewFile::pathFor(const QString &documentPath)
{
    return documentPath + QStringLiteral(".review.json");
}

QString ReviewFile::stateName(ReviewEntry::State state)
{
    for (const StateName &name : StateNames) {
        if (name.state == state)
            return QString::fromLatin1(name.name);
    }
    return QString();
}

ReviewFile ReviewFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(path, file.errorString());
    return fromJson(bytes, path);
}

ReviewFile ReviewFile::fromJson(const QByteArray &bytes, const QString &path)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        fail(path, QStringLiteral("not JSON (%1 at %2)").arg(error.errorString(), positionOf(bytes, error.offset)));
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != Format)
        fail(path, QStringLiteral("not a review file (its format is not \"%1\")").arg(Format));
    const int version = root.value(QStringLiteral("version")).toInt(-1);
    if (version > Version)
        fail(path, QStringLiteral("version %1 is newer than this program reads (%2)").arg(version).arg(Version));
    if (version < 1)
        fail(path, QStringLiteral("no version"));
    ReviewFile review;
    const QString pairing = root.value(QStringLiteral("pairing")).toString();
    if (pairing != QLatin1String("number") && pairing != QLatin1String("index"))
        fail(path, QStringLiteral("pairing is \"%1\", not \"number\" or \"index\"").arg(pairing));
    review.byNumber = pairing == QLatin1String("number");
    const QJsonValue entries = root.value(QStringLiteral("entries"));
    if (!entries.isArray())
        fail(path, QStringLiteral("no list of entries"));
    const QJsonArray list = entries.toArray();
    review.entries.reserve(size_t(list.size()));
    for (qsizetype i = 0; i < list.size(); ++i)
        review.entries.push_back(readEntry(list.at(i).toObject(), review.byNumber, path, i));
    return review;
}

void ReviewFile::write(const QString &path) const
{
    writeFileAtomically(path, toJson());
}

QByteArray ReviewFile::toJson() const
{
    QByteArray out;
    out.reserve(qsizetype(entries.size()) * 120 + 100);
    out.append("{\"format\": \"zelkstr-review\", \"version\": 1, \"pairing\": \"");
    out.append(byNumber ? "number" : "index").append("\",\n \"entries\": [");
    for (size_t i = 0; i < entries.size(); ++i) {
        out.append(i ? ",\n" : "\n");
        appendEntry(out, entries[i]);
    }
    out.append(entries.empty() ? "]}\n" : "\n]}\n");
    return out;
}

bool ReviewFile::mayReplace(const QString &path)
{
    if (!QFileInfo::exists(path))
        return true;
    try {
        read(path);
        return true;
    } catch (const TranslationError &) {
        return false;
    }
}
