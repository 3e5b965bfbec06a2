#include "ReviewFile.h"

#include "AtomicFileWriter.h"
#include "JsonText.h"
#include "TranslationError.h"
#include "uZelkStrings.h"

#include "JsonReader.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

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

// One entry of the list; what the pairing needs of it is checked once the
// whole file is read, since "pairing" may come after "entries".
ReviewEntry readEntry(JsonReader &json, bool &hasNumber)
{
    ReviewEntry entry;
    bool hasState = false;
    bool hasIndex = false;
    hasNumber = false;
    json.object([&](QByteArrayView key) {
        if (key == "state") {
            const QString state = json.string();
            const auto known = std::find_if(std::begin(StateNames), std::end(StateNames),
                                            [&](const StateName &name) { return state == QLatin1String(name.name); });
            if (known == std::end(StateNames))
                json.fail(QStringLiteral("unknown state \"%1\"").arg(state));
            entry.state = known->state;
            hasState = true;
        } else if (key == "index") {
            const double index = json.number();
            if (index < 0 || index > 4294967295.0 || index != double(quint32(index)))
                json.fail(QStringLiteral("an index that is not one"));
            entry.index = quint32(index);
            hasIndex = true;
        } else if (key == "number") {
            const QString number = json.string();
            bool ok = false;
            entry.number = number.size() == 8 ? number.toUInt(&ok, 16) : 0;
            if (!ok)
                json.fail(QStringLiteral("a number that is not eight hexadecimal digits"));
            hasNumber = true;
        } else if (key == "old_source") {
            entry.oldSource = json.string();
        } else if (key == "new_source") {
            entry.newSource = json.string();
        } else if (key == "score") {
            entry.score = int(json.number());
        } else if (key == "kinds") {
            json.array([&] { entry.kinds << json.string(); });
        } else if (key == "source") {
            entry.source = json.string();
        } else if (key == "text") {
            entry.text = json.string();
        } else {
            json.skip();
        }
    });
    if (!hasState || !hasIndex)
        json.fail(QStringLiteral("an entry without its %1").arg(hasState ? QStringLiteral("index") : QStringLiteral("state")));
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
    ReviewFile review;
    QString format;
    int version = -1;
    QString pairing;
    qsizetype entries = -1;
    std::vector<bool> numbered;
    try {
        JsonReader json(bytes);
        if (json.peek() != JsonReader::Type::Object)
            json.fail(QStringLiteral("an object expected"));
        json.object([&](QByteArrayView key) {
            if (key == "format" && json.peek() == JsonReader::Type::String) {
                format = json.string();
            } else if (key == "version" && json.peek() == JsonReader::Type::Number) {
                version = int(json.number());
            } else if (key == "pairing" && json.peek() == JsonReader::Type::String) {
                pairing = json.string();
            } else if (key == "entries" && json.peek() == JsonReader::Type::Array) {
                // Read once the format is known to be ours.
                entries = json.offset();
                json.skip();
            } else {
                json.skip();
            }
        });
        json.end();
        if (format == Format && entries >= 0) {
            // Most review files list entries of one line each.
            review.entries.reserve(size_t(bytes.size() / 100));
            JsonReader list(bytes, entries);
            list.array([&] {
                bool hasNumber = false;
                review.entries.push_back(readEntry(list, hasNumber));
                numbered.push_back(hasNumber);
            });
        }
    } catch (const JsonReader::Error &error) {
        fail(path, QStringLiteral("not JSON (%1)").arg(error.message));
    }
    if (format != Format)
        fail(path, QStringLiteral("not a review file (its format is not \"%1\")").arg(Format));
    if (version > Version)
        fail(path, QStringLiteral("version %1 is newer than this program reads (%2)").arg(version).arg(Version));
    if (version < 1)
        fail(path, QStringLiteral("no version"));
    if (pairing != QLatin1String("number") && pairing != QLatin1String("index"))
        fail(path, QStringLiteral("pairing is \"%1\", not \"number\" or \"index\"").arg(pairing));
    review.byNumber = pairing == QLatin1String("number");
    if (entries < 0)
        fail(path, QStringLiteral("no list of entries"));
    for (size_t i = 0; review.byNumber && i < numbered.size(); ++i) {
        if (!numbered[i])
            fail(path, QStringLiteral("entry %1: no number of eight hexadecimal digits").arg(i + 1));
    }
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
