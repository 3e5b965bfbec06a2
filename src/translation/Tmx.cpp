#include "Tmx.h"

#include "AtomicFileWriter.h"
#include "TranslationError.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <exception>

namespace {

const QString XmlNamespace = QStringLiteral("http://www.w3.org/XML/1998/namespace");

// XML 1.0 holds no control characters but tab, line feed and carriage
// return, not even as references.
bool xmlCanHold(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            return false;
        if (c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            return false;
    }
    return true;
}

// A reader turns a carriage return into a line feed unless it is written as
// a reference.
void writeSegment(QXmlStreamWriter &xml, const QString &language, const QString &text)
{
    xml.writeStartElement(QStringLiteral("tuv"));
    xml.writeAttribute(XmlNamespace, QStringLiteral("lang"), language);
    xml.writeStartElement(QStringLiteral("seg"));
    const QStringList pieces = text.split(QLatin1Char('\r'));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            xml.writeEntityReference(QStringLiteral("#13"));
        xml.writeCharacters(pieces[i]);
    }
    xml.writeEndElement();
    xml.writeEndElement();
}

// What the XML writer writes goes to the file a megabyte at a time, so a
// memory of a million pairs is never whole in memory. A failure to write is
// kept and given back once the writer is done (no exception crosses Qt).
class FileSink : public QIODevice
{
public:
    explicit FileSink(const QString &fileName)
        : m_file(fileName)
    {
        open(QIODevice::WriteOnly);
    }

    void finish()
    {
        pass();
        if (m_failure)
            std::rethrow_exception(m_failure);
        m_file.commit();
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_buffer.append(data, size);
        if (m_buffer.size() >= (1 << 20))
            pass();
        return m_failure ? -1 : size;
    }

private:
    void pass()
    {
        if (m_failure || m_buffer.isEmpty())
            return;
        try {
            m_file.write(m_buffer.constData(), m_buffer.size());
        } catch (...) {
            m_failure = std::current_exception();
        }
        m_buffer.clear();
    }

    AtomicFileWriter m_file;
    QByteArray m_buffer;
    std::exception_ptr m_failure;
};

QString normalised(QStringView code)
{
    return code.trimmed().toString().toLower().replace(QLatin1Char('_'), QLatin1Char('-'));
}

QString primary(const QString &code)
{
    return code.section(QLatin1Char('-'), 0, 0);
}

struct Variant
{
    QString language; // normalised
    QString text;
    QString code; // as written
};

struct RawUnit
{
    QString id;
    std::vector<Variant> variants;
};

// The segment of a unit in a language: the same code, or else one of the
// same language whatever its region.
const QString *segmentIn(const RawUnit &unit, const QString &language)
{
    for (const Variant &variant : unit.variants) {
        if (variant.language == language)
            return &variant.text;
    }
    for (const Variant &variant : unit.variants) {
        if (primary(variant.language) == primary(language))
            return &variant.text;
    }
    return nullptr;
}

class Reader
{
public:
    Reader(QXmlStreamReader &xml, const QString &fileName)
        : m_xml(xml)
        , m_fileName(fileName)
    {
        m_xml.setNamespaceProcessing(true);
    }

    void read()
    {
        bool root = false;
        while (!m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::DTD)
                refuseEntities();
            else if (token == QXmlStreamReader::EntityReference)
                fail(QStringLiteral("the entity \"%1\" is not expanded").arg(m_xml.name()));
            else if (token == QXmlStreamReader::StartElement && !root) {
                if (m_xml.name() != QLatin1String("tmx"))
                    fail(QStringLiteral("not a TMX file: it begins with <%1>").arg(m_xml.name()));
                root = true;
            } else if (token == QXmlStreamReader::StartElement && m_xml.name() == QLatin1String("header")) {
                const QString language = m_xml.attributes().value(QLatin1String("srclang")).toString();
                if (language != QLatin1String("*all*"))
                    headerLanguage = language.trimmed();
            } else if (token == QXmlStreamReader::StartElement && m_xml.name() == QLatin1String("tu")) {
                readUnit();
            }
        }
        if (m_xml.hasError())
            fail(m_xml.errorString());
        if (!root)
            fail(QStringLiteral("not a TMX file"));
    }

    QString headerLanguage;
    std::vector<RawUnit> units;

private:
    [[noreturn]] void fail(const QString &reason) const
    {
        throw TranslationError(
            QStringLiteral("%1:%2:%3: %4").arg(m_fileName).arg(m_xml.lineNumber()).arg(m_xml.columnNumber()).arg(reason));
    }

    // An internal subset can declare entities that expand to more than any
    // memory holds: a file with one is not read. An external DTD is never
    // fetched.
    void refuseEntities() const
    {
        if (!m_xml.entityDeclarations().isEmpty() || m_xml.text().contains(QLatin1Char('[')))
            fail(QStringLiteral("a TMX file that declares entities is not read"));
    }

    QString languageOf() const
    {
        const QXmlStreamAttributes attributes = m_xml.attributes();
        const QStringView language = attributes.hasAttribute(XmlNamespace, QStringLiteral("lang"))
            ? attributes.value(XmlNamespace, QStringLiteral("lang"))
            : attributes.value(QLatin1String("lang"));
        return language.trimmed().toString();
    }

    void readUnit()
    {
        RawUnit unit;
        unit.id = m_xml.attributes().value(QLatin1String("tuid")).toString();
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != QLatin1String("tuv")) {
                m_xml.skipCurrentElement();
                continue;
            }
            const QString language = languageOf();
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() == QLatin1String("seg"))
                    unit.variants.push_back({normalised(language), readSegment(), language});
                else
                    m_xml.skipCurrentElement();
            }
        }
        units.push_back(std::move(unit));
    }

    // Inline markup (ph, bpt, ept, it, hi, ut, sub) is read as its text.
    QString readSegment()
    {
        QString text;
        int depth = 1;
        while (depth > 0 && !m_xml.atEnd()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                break;
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            case QXmlStreamReader::Characters:
                text += m_xml.text();
                break;
            case QXmlStreamReader::EntityReference:
                fail(QStringLiteral("the entity \"%1\" is not expanded").arg(m_xml.name()));
            default:
                break;
            }
        }
        if (m_xml.hasError())
            fail(m_xml.errorString());
        return text;
    }

    QXmlStreamReader &m_xml;
    QString m_fileName;
};

// The one language of the file besides the source's.
QString otherLanguage(const std::vector<RawUnit> &units, const QString &source, const QString &fileName)
{
    QStringList others;
    for (const RawUnit &unit : units) {
        for (const Variant &variant : unit.variants) {
            if (primary(variant.language) != primary(source)
                && std::none_of(others.begin(), others.end(), [&](const QString &other) { return normalised(other) == variant.language; }))
                others << variant.code;
        }
    }
    if (others.size() > 1)
        throw TranslationError(QStringLiteral("%1 holds translations into %2: which to read is not known").arg(fileName, others.join(QStringLiteral(", "))));
    return others.value(0);
}

Tmx::Document resolve(Reader &reader, const QString &fileName, const QString &sourceLanguage, const QString &targetLanguage)
{
    Tmx::Document document;
    document.sourceLanguage = sourceLanguage.isEmpty() ? reader.headerLanguage : sourceLanguage;
    if (document.sourceLanguage.isEmpty())
        throw TranslationError(QStringLiteral("%1 does not say its source language (srclang)").arg(fileName));
    const QString sourceCode = normalised(document.sourceLanguage);
    document.targetLanguage = targetLanguage.isEmpty() ? otherLanguage(reader.units, sourceCode, fileName) : targetLanguage;
    const QString targetCode = normalised(document.targetLanguage);
    for (RawUnit &unit : reader.units) {
        const QString *source = segmentIn(unit, sourceCode);
        const QString *translation = targetCode.isEmpty() ? nullptr : segmentIn(unit, targetCode);
        if (source && translation && source != translation)
            document.units.push_back({unit.id, *source, *translation});
        else
            ++document.skipped;
    }
    return document;
}

} // namespace

void Tmx::write(const QString &fileName, const Document &document, const QString &tool, const QString &version)
{
    FileSink file(fileName);
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("tmx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.4"));
    xml.writeStartElement(QStringLiteral("header"));
    xml.writeAttribute(QStringLiteral("creationtool"), tool);
    xml.writeAttribute(QStringLiteral("creationtoolversion"), version);
    xml.writeAttribute(QStringLiteral("datatype"), QStringLiteral("plaintext"));
    xml.writeAttribute(QStringLiteral("segtype"), QStringLiteral("block"));
    xml.writeAttribute(QStringLiteral("adminlang"), QStringLiteral("en-US"));
    xml.writeAttribute(QStringLiteral("srclang"), document.sourceLanguage);
    xml.writeAttribute(QStringLiteral("o-tmf"), tool);
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("body"));
    for (const Unit &unit : document.units) {
        xml.writeStartElement(QStringLiteral("tu"));
        if (!unit.id.isEmpty())
            xml.writeAttribute(QStringLiteral("tuid"), unit.id);
        writeSegment(xml, document.sourceLanguage, unit.source);
        writeSegment(xml, document.targetLanguage, unit.translation);
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    file.write("\n", 1);
    file.finish();
}

bool Tmx::canHold(const Unit &unit)
{
    return xmlCanHold(unit.source) && xmlCanHold(unit.translation);
}

Tmx::Document Tmx::read(const QString &fileName, const QString &sourceLanguage, const QString &targetLanguage)
{
    if (!QFileInfo(fileName).isFile())
        throw TranslationError(QStringLiteral("%1: no such file").arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw TranslationError(QStringLiteral("%1: %2").arg(fileName, file.errorString()));
    QXmlStreamReader xml(&file);
    Reader reader(xml, fileName);
    reader.read();
    return resolve(reader, fileName, sourceLanguage, targetLanguage);
}

Tmx::Document Tmx::fromXml(const QByteArray &bytes, const QString &fileName, const QString &sourceLanguage,
                           const QString &targetLanguage)
{
    QXmlStreamReader xml(bytes);
    Reader reader(xml, fileName);
    reader.read();
    return resolve(reader, fileName, sourceLanguage, targetLanguage);
}
