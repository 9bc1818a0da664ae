// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "MarkupText.h"

#include <optional>
#include <utility>

namespace senrokan
{

namespace
{

// The references pages write in running text; any other is left as written.
const std::pair<QStringView, char16_t> NamedReferences[] = {{u"amp", u'&'},   {u"lt", u'<'},
                                                            {u"gt", u'>'},    {u"quot", u'"'},
                                                            {u"apos", u'\''}, {u"nbsp", u'\u00A0'}};
// "&#x10FFFF;" is the longest reference read.
constexpr qsizetype LongestReference = 10;

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// A "<" that opens a tag, a comment or a declaration; a "<" at the very end is a tag cut short.
bool opensTag(QStringView source, qsizetype at)
{
    if (at + 1 >= source.size())
        return true;
    const QChar next = source[at + 1];
    return isAsciiLetter(next) || next == u'/' || next == u'!' || next == u'?';
}

// Where the tag, comment, script or style that starts at at ends (just after it).
qsizetype afterTag(QStringView source, qsizetype at)
{
    const qsizetype n = source.size();
    if (source.sliced(at).startsWith(u"<!--")) {
        const qsizetype end = source.indexOf(u"-->", at + 4);
        return end < 0 ? n : end + 3;
    }
    const qsizetype close = source.indexOf(u'>', at + 1);
    const qsizetype after = close < 0 ? n : close + 1;
    for (const QStringView element : {QStringView(u"script"), QStringView(u"style")}) {
        const QStringView name = source.sliced(at + 1);
        if (!name.startsWith(element, Qt::CaseInsensitive) ||
            (name.size() > element.size() && isAsciiLetter(name[element.size()])))
            continue;
        const qsizetype endTag =
            source.indexOf(QStringLiteral("</") + element.toString(), after, Qt::CaseInsensitive);
        const qsizetype endClose = endTag < 0 ? -1 : source.indexOf(u'>', endTag);
        return endClose < 0 ? n : endClose + 1;
    }
    return after;
}

// The character a reference at at stands for and the reference's length; none for a reference
// not read.
std::optional<std::pair<char32_t, qsizetype>> reference(QStringView source, qsizetype at)
{
    const qsizetype semicolon =
        source.sliced(at, qMin(source.size() - at, LongestReference + 1)).indexOf(u';');
    if (semicolon < 2)
        return std::nullopt;
    const QStringView name = source.sliced(at + 1, semicolon - 1);
    const qsizetype length = semicolon + 1;
    if (name.front() == u'#') {
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        bool ok = false;
        uint code = name.sliced(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        if (!ok)
            return std::nullopt;
        if (code == 0 || code > 0x10FFFF || QChar::isSurrogate(code))
            code = QChar::ReplacementCharacter;
        return std::pair{char32_t(code), length};
    }
    for (const auto& [known, character] : NamedReferences) {
        if (name == known)
            return std::pair{char32_t(character), length};
    }
    return std::nullopt;
}

} // namespace

QString markupText(QStringView source, qsizetype limit)
{
    const qsizetype n = source.size();
    qsizetype i = 0;
    // The stretch may begin inside a tag: a ">" before any "<" ends it.
    const qsizetype firstOpen = source.indexOf(u'<');
    if (const qsizetype firstClose = source.indexOf(u'>');
        firstClose >= 0 && (firstOpen < 0 || firstClose < firstOpen))
        i = firstClose + 1;

    QString text;
    auto blank = [&text] {
        if (!text.isEmpty() && text.back() != u' ')
            text += u' ';
    };
    while (i < n && text.size() <= limit) {
        const QChar c = source[i];
        if (c == u'<' && opensTag(source, i)) {
            blank();
            i = afterTag(source, i);
        } else if (const auto read = c == u'&' ? reference(source, i) : std::nullopt) {
            text += QString::fromUcs4(&read->first, 1);
            i += read->second;
        } else {
            if (c.isSpace())
                blank();
            else
                text += c;
            ++i;
        }
    }
    return text;
}

} // namespace senrokan
