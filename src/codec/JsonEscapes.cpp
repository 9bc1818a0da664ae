// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "JsonEscapes.h"

namespace senrokan
{

namespace
{

// Four hex digits at i, or -1.
int hex4(QStringView text, qsizetype i)
{
    if (text.size() - i < 4)
        return -1;
    int value = 0;
    for (qsizetype k = i; k < i + 4; ++k) {
        const char16_t c = text[k].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// The character a one-letter escape stands for, or 0 when the letter starts none.
char16_t simpleEscape(char16_t letter)
{
    switch (letter) {
    case u'"':
    case u'\\':
    case u'/':
        return letter;
    case u'b':
        return u'\b';
    case u'f':
        return u'\f';
    case u'n':
        return u'\n';
    case u'r':
        return u'\r';
    case u't':
        return u'\t';
    default:
        return 0;
    }
}

} // namespace

QString decodeJsonEscapes(QStringView text)
{
    qsizetype slash = text.indexOf(u'\\');
    if (slash < 0)
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype done = 0;
    while (slash >= 0) {
        out.append(text.sliced(done, slash - done));
        done = slash + 1; // a backslash that starts nothing is kept below
        const char16_t letter = slash + 1 < text.size() ? text[slash + 1].unicode() : u'\0';
        if (const char16_t c = simpleEscape(letter)) {
            out.append(QChar(c));
            done = slash + 2;
        } else if (const int unit = letter == u'u' ? hex4(text, slash + 2) : -1; unit >= 0) {
            done = slash + 6;
            const bool high = unit >= 0xD800 && unit <= 0xDBFF;
            const int low =
                high && text.sliced(done).startsWith(u"\\u") ? hex4(text, done + 2) : -1;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.append(QChar(char16_t(unit)));
                out.append(QChar(char16_t(low)));
                done += 6;
            } else if (unit >= 0xD800 && unit <= 0xDFFF) {
                out.append(QChar(QChar::ReplacementCharacter));
            } else {
                out.append(QChar(char16_t(unit)));
            }
        } else {
            out.append(u'\\');
        }
        slash = text.indexOf(u'\\', done);
    }
    out.append(text.sliced(done));
    return out;
}

JsonCounts countJson(QByteArrayView json)
{
    JsonCounts counts;
    bool inString = false;
    bool escaped = false;
    for (const char c : json) {
        if (escaped) {
            escaped = false;
        } else if (inString) {
            escaped = c == '\\';
            inString = c != '"';
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            ++counts.containers;
        } else if (c == ',' || c == ':') {
            ++counts.values;
        }
    }
    return counts;
}

} // namespace senrokan
