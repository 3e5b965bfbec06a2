#pragma once

#include <QByteArray>
#include <QStringView>

// Appends a text as a JSON string, quotes included, in UTF-8: quotes,
// backslashes and control characters escaped, everything else as it is.
inline void appendJsonString(QByteArray &out, QStringView text)
{
    static const char hex[] = "0123456789abcdef";
    out.append('"');
    qsizetype plainFrom = 0;
    const auto flushPlain = [&](qsizetype to) {
        if (to > plainFrom)
            out.append(text.mid(plainFrom, to - plainFrom).toUtf8());
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit >= 0x20 && unit != u'"' && unit != u'\\')
            continue;
        flushPlain(i);
        plainFrom = i + 1;
        switch (unit) {
        case u'"':
            out.append("\\\"");
            break;
        case u'\\':
            out.append("\\\\");
            break;
        case u'\n':
            out.append("\\n");
            break;
        case u'\t':
            out.append("\\t");
            break;
        case u'\r':
            out.append("\\r");
            break;
        default:
            out.append("\\u00").append(hex[unit >> 4]).append(hex[unit & 0xF]);
        }
    }
    flushPlain(text.size());
    out.append('"');
}
