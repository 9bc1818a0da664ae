// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "PageCoding.h"

#include <unicode/ucsdet.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <memory>
#include <span>

namespace senrokan
{

namespace
{

// What a label names, as far as the choice of coding cares.
enum class Label { Invalid, ShiftJis, Utf8, EucJp, Iso2022Jp, Utf16, Foreign };

// The Encoding Standard's labels of the four Japanese codings and of UTF-16; every other label
// it knows names a coding no Japanese page is written in.
// clang-format off
const char* const ShiftJisLabels[] = {"csshiftjis", "ms932",       "ms_kanji", "shift-jis",
                                      "shift_jis",  "sjis",        "windows-31j", "x-sjis"};
const char* const Utf8Labels[] = {"unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8",
                                  "utf-8",             "utf8",          "x-unicode20utf8"};
const char* const EucJpLabels[] = {"cseucpkdfmtjapanese", "euc-jp", "x-euc-jp"};
const char* const Iso2022JpLabels[] = {"csiso2022jp", "iso-2022-jp"};
const char* const Utf16Labels[] = {"unicodefffe", "utf-16be",    "csunicode", "iso-10646-ucs-2",
                                   "ucs-2",       "unicode",     "unicodefeff", "utf-16",
                                   "utf-16le"};
const char* const ForeignLabels[] = {
    "866", "cp866", "csibm866", "ibm866", "csisolatin2", "iso-8859-2", "iso-ir-101", "iso8859-2",
    "iso88592", "iso_8859-2", "iso_8859-2:1987", "l2", "latin2", "csisolatin3", "iso-8859-3",
    "iso-ir-109", "iso8859-3", "iso88593", "iso_8859-3", "iso_8859-3:1988", "l3", "latin3",
    "csisolatin4", "iso-8859-4", "iso-ir-110", "iso8859-4", "iso88594", "iso_8859-4",
    "iso_8859-4:1988", "l4", "latin4", "csisolatincyrillic", "cyrillic", "iso-8859-5",
    "iso-ir-144", "iso8859-5", "iso88595", "iso_8859-5", "iso_8859-5:1988", "arabic", "asmo-708",
    "csiso88596e", "csiso88596i", "csisolatinarabic", "ecma-114", "iso-8859-6", "iso-8859-6-e",
    "iso-8859-6-i", "iso-ir-127", "iso8859-6", "iso88596", "iso_8859-6", "iso_8859-6:1987",
    "csisolatingreek", "ecma-118", "elot_928", "greek", "greek8", "iso-8859-7", "iso-ir-126",
    "iso8859-7", "iso88597", "iso_8859-7", "iso_8859-7:1987", "sun_eu_greek", "csiso88598e",
    "csisolatinhebrew", "hebrew", "iso-8859-8", "iso-8859-8-e", "iso-ir-138", "iso8859-8",
    "iso88598", "iso_8859-8", "iso_8859-8:1988", "visual", "csiso88598i", "iso-8859-8-i",
    "logical", "csisolatin6", "iso-8859-10", "iso-ir-157", "iso8859-10", "iso885910", "l6",
    "latin6", "iso-8859-13", "iso8859-13", "iso885913", "iso-8859-14", "iso8859-14",
    "iso885914", "csisolatin9", "iso-8859-15", "iso8859-15", "iso885915", "iso_8859-15", "l9",
    "iso-8859-16", "cskoi8r", "koi", "koi8", "koi8-r", "koi8_r", "koi8-ru", "koi8-u",
    "csmacintosh", "mac", "macintosh", "x-mac-roman", "dos-874", "iso-8859-11", "iso8859-11",
    "iso885911", "tis-620", "windows-874", "cp1250", "windows-1250", "x-cp1250", "cp1251",
    "windows-1251", "x-cp1251", "ansi_x3.4-1968", "ascii", "cp1252", "cp819", "csisolatin1",
    "ibm819", "iso-8859-1", "iso-ir-100", "iso8859-1", "iso88591", "iso_8859-1",
    "iso_8859-1:1987", "l1", "latin1", "us-ascii", "windows-1252", "x-cp1252", "cp1253",
    "windows-1253", "x-cp1253", "cp1254", "csisolatin5", "iso-8859-9", "iso-ir-148",
    "iso8859-9", "iso88599", "iso_8859-9", "iso_8859-9:1989", "l5", "latin5", "windows-1254",
    "x-cp1254", "cp1255", "windows-1255", "x-cp1255", "cp1256", "windows-1256", "x-cp1256",
    "cp1257", "windows-1257", "x-cp1257", "cp1258", "windows-1258", "x-cp1258",
    "x-mac-cyrillic", "x-mac-ukrainian", "chinese", "csgb2312", "csiso58gb231280", "gb2312",
    "gb_2312", "gb_2312-80", "gbk", "iso-ir-58", "x-gbk", "gb18030", "big5", "big5-hkscs",
    "cn-big5", "csbig5", "x-x-big5", "cseuckr", "csksc56011987", "euc-kr", "iso-ir-149",
    "korean", "ks_c_5601-1987", "ks_c_5601-1989", "ksc5601", "ksc_5601", "windows-949",
    "csiso2022kr", "hz-gb-2312", "iso-2022-cn", "iso-2022-cn-ext", "iso-2022-kr",
    "x-user-defined"};
// clang-format on

bool isAsciiSpace(uchar c)
{
    return c == 0x09 || c == 0x0A || c == 0x0C || c == 0x0D || c == 0x20;
}

uchar lower(uchar c)
{
    return c >= 'A' && c <= 'Z' ? uchar(c + 0x20) : c;
}

bool isAsciiLetter(uchar c)
{
    return lower(c) >= 'a' && lower(c) <= 'z';
}

uchar at(QByteArrayView s, qsizetype i)
{
    return uchar(s[i]);
}

// s from i on starts with word, ASCII case ignored; word is lower case.
bool startsWithNoCase(QByteArrayView s, qsizetype i, const char* word)
{
    const qsizetype n = qsizetype(std::strlen(word));
    if (i < 0 || s.size() - i < n)
        return false;
    for (qsizetype k = 0; k < n; ++k)
        if (lower(at(s, i + k)) != uchar(word[k]))
            return false;
    return true;
}

bool equalsNoCase(QByteArrayView s, const char* word)
{
    return s.size() == qsizetype(std::strlen(word)) && startsWithNoCase(s, 0, word);
}

QByteArrayView trimmed(QByteArrayView s)
{
    while (!s.isEmpty() && isAsciiSpace(uchar(s.front())))
        s = s.sliced(1);
    while (!s.isEmpty() && isAsciiSpace(uchar(s.back())))
        s.chop(1);
    return s;
}

// The Encoding Standard's "get an encoding": blanks around ignored, ASCII case ignored.
Label classify(QByteArrayView label)
{
    label = trimmed(label);
    static const struct {
        std::span<const char* const> labels;
        Label kind;
    } Kinds[] = {{ShiftJisLabels, Label::ShiftJis}, {Utf8Labels, Label::Utf8},
                 {EucJpLabels, Label::EucJp},       {Iso2022JpLabels, Label::Iso2022Jp},
                 {Utf16Labels, Label::Utf16},       {ForeignLabels, Label::Foreign}};
    for (const auto& [labels, kind] : Kinds)
        for (const char* known : labels)
            if (equalsNoCase(label, known))
                return kind;
    return Label::Invalid;
}

bool isJapanese(Label label)
{
    return label == Label::ShiftJis || label == Label::Utf8 || label == Label::EucJp ||
           label == Label::Iso2022Jp;
}

// A declaration inside the page settles its coding when it names a Japanese coding, or UTF-16,
// taken there as UTF-8 (see codingOf).
bool settlesInPage(Label label)
{
    return isJapanese(label) || label == Label::Utf16;
}

PageCoding codingOf(Label label)
{
    switch (label) {
    case Label::Utf8:
    case Label::Utf16: // a declaration readable as ASCII is not in UTF-16
        return PageCoding::Utf8;
    case Label::EucJp:
        return PageCoding::EucJp;
    case Label::Iso2022Jp:
        return PageCoding::Iso2022Jp;
    default:
        return PageCoding::ShiftJis;
    }
}

// A declaration found somewhere: the label as written, and what it names.
struct Declaration {
    QByteArrayView label;
    Label kind = Label::Invalid;
};

Declaration declared(QByteArrayView label)
{
    return {trimmed(label), classify(label)};
}

bool isToken(QByteArrayView s)
{
    static constexpr QByteArrayView Marks = "!#$%&'*+-.^_`|~";
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](char c) {
        return isAsciiLetter(uchar(c)) || (c >= '0' && c <= '9') || Marks.contains(c);
    });
}

// From position i at an opening quote: the quoted string's text with its backslash escapes
// undone; i ends past the closing quote (or at the end, when there is none).
QByteArray quotedString(QByteArrayView s, qsizetype& i)
{
    QByteArray value;
    for (++i; i < s.size(); ++i) {
        if (s[i] == '"') {
            ++i;
            break;
        }
        if (s[i] == '\\' && i + 1 < s.size())
            ++i;
        value += s[i];
    }
    return value;
}

struct MimeType {
    QByteArray essence; // "type/subtype", lower case
    std::optional<QByteArray> charset;
};

// The MIME Sniffing standard's parse of one MIME type, keeping only what the coding needs.
std::optional<MimeType> parseMimeType(QByteArrayView text)
{
    text = trimmed(text);
    const qsizetype slash = text.indexOf('/');
    const qsizetype semicolon = text.indexOf(';');
    const qsizetype end = semicolon < 0 ? text.size() : semicolon;
    if (slash < 0 || slash > end || !isToken(text.first(slash)) ||
        !isToken(trimmed(text.sliced(slash + 1, end - slash - 1))))
        return std::nullopt;
    MimeType type{trimmed(text.first(end)).toByteArray().toLower(), std::nullopt};
    for (qsizetype i = end; i < text.size();) {
        ++i; // past ';'
        while (i < text.size() && isAsciiSpace(at(text, i)))
            ++i;
        const qsizetype nameStart = i;
        while (i < text.size() && text[i] != ';' && text[i] != '=')
            ++i;
        const QByteArrayView name = text.sliced(nameStart, i - nameStart);
        if (i >= text.size() || text[i] == ';')
            continue;
        ++i; // past '='
        QByteArray value;
        if (i < text.size() && text[i] == '"') {
            value = quotedString(text, i);
            while (i < text.size() && text[i] != ';')
                ++i;
        } else {
            const qsizetype valueStart = i;
            while (i < text.size() && text[i] != ';')
                ++i;
            value = trimmed(text.sliced(valueStart, i - valueStart)).toByteArray();
            if (value.isEmpty())
                continue;
        }
        if (!type.charset && equalsNoCase(name, "charset"))
            type.charset = value;
    }
    return type;
}

// The Fetch standard's extraction of a MIME type from the Content-Type header's values, as
// repeated headers combine (joined by commas): a later value of the same type without a charset
// keeps the earlier charset; values that do not parse, and */*, are passed over.
std::optional<MimeType> extractMimeType(QByteArrayView values)
{
    std::optional<MimeType> found;
    for (qsizetype i = 0; i <= values.size();) {
        // One value: up to a comma that is not inside a quoted string.
        const qsizetype start = i;
        while (i < values.size() && values[i] != ',') {
            if (values[i] == '"')
                quotedString(values, i);
            else
                ++i;
        }
        std::optional<MimeType> type = parseMimeType(values.sliced(start, i - start));
        ++i; // past ','
        if (!type || type->essence == "*/*")
            continue;
        if (found && found->essence == type->essence && !type->charset)
            type->charset = found->charset;
        found = type;
    }
    return found;
}

bool isJsonType(QByteArrayView essence)
{
    return essence == "application/json" || essence == "text/json" || essence.endsWith("+json");
}

// The HTML standard's extraction of a charset from a meta element's content attribute.
Declaration contentDeclaration(QByteArrayView content)
{
    const qsizetype n = content.size();
    qsizetype from = 0;
    for (;;) {
        qsizetype k = from;
        while (k < n && !startsWithNoCase(content, k, "charset"))
            ++k;
        if (k >= n)
            return {};
        qsizetype i = k + 7;
        while (i < n && isAsciiSpace(at(content, i)))
            ++i;
        if (i >= n || content[i] != '=') {
            from = k + 7;
            continue;
        }
        ++i;
        while (i < n && isAsciiSpace(at(content, i)))
            ++i;
        if (i >= n)
            return {};
        const char c = content[i];
        if (c == '"' || c == '\'') {
            const qsizetype close = content.indexOf(c, i + 1);
            if (close < 0)
                return {};
            return declared(content.sliced(i + 1, close - i - 1));
        }
        qsizetype end = i;
        while (end < n && !isAsciiSpace(at(content, end)) && content[end] != ';')
            ++end;
        return declared(content.sliced(i, end - i));
    }
}

// The HTML standard's prescan for a <meta> declaration, over the whole body rather than its
// first 1024 bytes. Attributes are views into the body, so nothing is copied.
class Prescan
{
public:
    explicit Prescan(QByteArrayView s) : m_s(s), m_n(s.size()) {}

    Declaration run()
    {
        qsizetype& i = m_i;
        while (i < m_n) {
            if (m_s[i] != '<') {
                const qsizetype next = m_s.indexOf('<', i);
                if (next < 0)
                    return {};
                i = next;
            }
            const char next = i + 1 < m_n ? m_s[i + 1] : '\0';
            if (next == '!' && m_s.sliced(i).startsWith("<!--")) {
                const qsizetype close = m_s.indexOf("-->", i + 2);
                if (close < 0)
                    return {};
                i = close + 2;
            } else if ((next == 'm' || next == 'M') && startsWithNoCase(m_s, i, "<meta") &&
                       i + 5 < m_n && (isAsciiSpace(at(m_s, i + 5)) || m_s[i + 5] == '/')) {
                i += 5;
                Declaration found;
                switch (meta(found)) {
                case Outcome::End:
                    return {};
                case Outcome::Found:
                    return found;
                case Outcome::None:
                    break;
                }
            } else if (i + 1 < m_n &&
                       (isAsciiLetter(at(m_s, i + 1)) ||
                        (m_s[i + 1] == '/' && i + 2 < m_n && isAsciiLetter(at(m_s, i + 2))))) {
                while (i < m_n && !isAsciiSpace(at(m_s, i)) && m_s[i] != '>')
                    ++i;
                Attribute attribute;
                Outcome got;
                while ((got = nextAttribute(attribute)) == Outcome::Found) {
                }
                if (got == Outcome::End)
                    return {};
            } else if (i + 1 < m_n &&
                       (m_s[i + 1] == '!' || m_s[i + 1] == '/' || m_s[i + 1] == '?')) {
                const qsizetype close = m_s.indexOf('>', i + 1);
                if (close < 0)
                    return {};
                i = close;
            }
            ++i;
        }
        return {};
    }

private:
    enum class Outcome { Found, None, End };
    struct Attribute {
        QByteArrayView name, value;
    };

    Outcome meta(Declaration& found)
    {
        enum class Pragma { Unset, Needed, NotNeeded };
        bool seenHttpEquiv = false, seenContent = false, seenCharset = false;
        bool gotPragma = false;
        Pragma needPragma = Pragma::Unset;
        bool haveCharset = false;
        Declaration charset;
        Attribute a;
        Outcome got;
        while ((got = nextAttribute(a)) == Outcome::Found) {
            if (equalsNoCase(a.name, "http-equiv") && !seenHttpEquiv) {
                seenHttpEquiv = true;
                gotPragma = equalsNoCase(a.value, "content-type");
            } else if (equalsNoCase(a.name, "content") && !seenContent) {
                seenContent = true;
                if (!haveCharset) {
                    const Declaration d = contentDeclaration(a.value);
                    if (d.kind != Label::Invalid) {
                        charset = d;
                        haveCharset = true;
                        needPragma = Pragma::Needed;
                    }
                }
            } else if (equalsNoCase(a.name, "charset") && !seenCharset) {
                seenCharset = true;
                charset = declared(a.value);
                haveCharset = true;
                needPragma = Pragma::NotNeeded;
            }
        }
        if (got == Outcome::End)
            return Outcome::End;
        if (needPragma == Pragma::Unset || (needPragma == Pragma::Needed && !gotPragma) ||
            !haveCharset || charset.kind == Label::Invalid)
            return Outcome::None;
        found = charset;
        return Outcome::Found;
    }

    // The HTML standard's "get an attribute", from m_i. None at '>', End past the body's end.
    Outcome nextAttribute(Attribute& a)
    {
        qsizetype& i = m_i;
        while (i < m_n && (isAsciiSpace(at(m_s, i)) || m_s[i] == '/'))
            ++i;
        if (i >= m_n)
            return Outcome::End;
        if (m_s[i] == '>')
            return Outcome::None;
        const qsizetype nameStart = i;
        a.value = {};
        for (;; ++i) {
            if (i >= m_n)
                return Outcome::End;
            const char c = m_s[i];
            if ((c == '=' && i > nameStart) || isAsciiSpace(uchar(c)) || c == '/' || c == '>')
                break;
        }
        a.name = m_s.sliced(nameStart, i - nameStart);
        if (m_s[i] == '/' || m_s[i] == '>')
            return Outcome::Found;
        while (i < m_n && isAsciiSpace(at(m_s, i)))
            ++i;
        if (i >= m_n)
            return Outcome::End;
        if (m_s[i] != '=')
            return Outcome::Found;
        ++i;
        while (i < m_n && isAsciiSpace(at(m_s, i)))
            ++i;
        if (i >= m_n)
            return Outcome::End;
        const char c = m_s[i];
        if (c == '"' || c == '\'') {
            const qsizetype close = m_s.indexOf(c, i + 1);
            if (close < 0)
                return Outcome::End;
            a.value = m_s.sliced(i + 1, close - i - 1);
            i = close + 1;
            return Outcome::Found;
        }
        if (c == '>')
            return Outcome::Found;
        const qsizetype valueStart = i;
        while (i < m_n && !isAsciiSpace(at(m_s, i)) && m_s[i] != '>')
            ++i;
        if (i >= m_n)
            return Outcome::End;
        a.value = m_s.sliced(valueStart, i - valueStart);
        return Outcome::Found;
    }

    QByteArrayView m_s;
    qsizetype m_n;
    qsizetype m_i = 0;
};

// The encoding pseudo-attribute of an XML declaration at the start of the body.
Declaration xmlDeclaration(QByteArrayView body)
{
    qsizetype i = 0;
    while (i < body.size() && isAsciiSpace(at(body, i)))
        ++i;
    body = body.sliced(i);
    if (!body.startsWith("<?xml") || body.size() < 6 || !isAsciiSpace(at(body, 5)))
        return {};
    const qsizetype close = body.indexOf("?>");
    const QByteArrayView decl = body.first(close < 0 ? body.size() : close);
    const qsizetype k = decl.indexOf("encoding");
    if (k < 0)
        return {};
    i = k + 8;
    while (i < decl.size() && isAsciiSpace(at(decl, i)))
        ++i;
    if (i >= decl.size() || decl[i] != '=')
        return {};
    ++i;
    while (i < decl.size() && isAsciiSpace(at(decl, i)))
        ++i;
    if (i >= decl.size() || (decl[i] != '"' && decl[i] != '\''))
        return {};
    const qsizetype end = decl.indexOf(decl[i], i + 1);
    if (end < 0)
        return {};
    return declared(decl.sliced(i + 1, end - i - 1));
}

bool isJsonSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A body that opens as a JSON object or array does. Only the opening is judged, so a reply cut
// short by the wait or the size cap still counts.
bool opensAsJson(QByteArrayView body)
{
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < body.size() && isJsonSpace(body[i]))
            ++i;
    };
    skipBlanks();
    if (i >= body.size() || (body[i] != '{' && body[i] != '['))
        return false;
    const bool object = body[i] == '{';
    ++i;
    skipBlanks();
    if (i >= body.size())
        return false;
    const char c = body[i];
    if (object)
        return c == '"' || c == '}';
    if (c == 't' || c == 'f' || c == 'n') {
        const QByteArrayView rest = body.sliced(i);
        return rest.startsWith("true") || rest.startsWith("false") || rest.startsWith("null");
    }
    return c == '"' || c == '{' || c == '[' || c == ']' || c == '-' || (c >= '0' && c <= '9');
}

// The first position at or after i that holds a byte above 0x7F, or the size; eight at a time.
qsizetype skipAscii(QByteArrayView s, qsizetype i)
{
    const qsizetype n = s.size();
    while (n - i >= 8) {
        quint64 word;
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ULL)
            break;
        i += 8;
    }
    while (i < n && at(s, i) < 0x80)
        ++i;
    return i;
}

struct ByteScan {
    bool utf8 = true;         // valid UTF-8, a sequence cut off at the very end allowed
    qsizetype firstMark = -1; // the first byte above 0x7F, -1 when there is none
};

ByteScan scanBytes(QByteArrayView s)
{
    ByteScan scan;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while ((i = skipAscii(s, i)) < n) {
        const uchar c = at(s, i);
        if (scan.firstMark < 0)
            scan.firstMark = i;
        int length;
        quint32 code;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            code = c & 0x07;
        } else {
            scan.utf8 = false;
            return scan;
        }
        for (int k = 1; k < length; ++k) {
            if (i + k >= n)
                return scan; // cut off at the end
            const uchar b = at(s, i + k);
            if ((b & 0xC0) != 0x80) {
                scan.utf8 = false;
                return scan;
            }
            code = (code << 6) | (b & 0x3F);
        }
        if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (length == 4 && (code < 0x10000 || code > 0x10FFFF))) {
            scan.utf8 = false;
            return scan;
        }
        i += length;
    }
    return scan;
}

// Whether the bytes follow a coding's byte grammar (a sequence cut off at the very end allowed).
// A page that breaks the grammar is not in that coding, whatever a frequency count suggests.
struct ShiftJisReading {
    bool fits = true;
    qsizetype halfWidth = 0; // single-byte katakana
    qsizetype doubleByte = 0;
};

ShiftJisReading readAsShiftJis(QByteArrayView s)
{
    ShiftJisReading r;
    const qsizetype n = s.size();
    for (qsizetype i = skipAscii(s, 0); i < n; i = skipAscii(s, i + 1)) {
        const uchar c = at(s, i);
        if (c >= 0xA1 && c <= 0xDF) {
            ++r.halfWidth;
            continue;
        }
        ++r.doubleByte;
        if (!((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)))
            r.fits = false;
        else if (++i < n && (at(s, i) < 0x40 || at(s, i) == 0x7F || at(s, i) > 0xFC))
            r.fits = false;
        if (!r.fits)
            return r;
    }
    return r;
}

bool fitsEucJp(QByteArrayView s)
{
    const qsizetype n = s.size();
    for (qsizetype i = skipAscii(s, 0); i < n; i = skipAscii(s, i + 1)) {
        const uchar c = at(s, i);
        int trail;
        if (c == 0x8E)
            trail = 1; // half-width katakana
        else if (c == 0x8F)
            trail = 2; // JIS X 0212
        else if (c >= 0xA1 && c <= 0xFE)
            trail = 1;
        else
            return false;
        for (int k = 0; k < trail; ++k) {
            if (++i >= n)
                return true;
            if (at(s, i) < 0xA1 || at(s, i) > 0xFE)
                return false;
        }
    }
    return true;
}

bool fits(PageCoding coding, QByteArrayView s, const ByteScan& scan)
{
    switch (coding) {
    case PageCoding::ShiftJis:
        return readAsShiftJis(s).fits;
    case PageCoding::EucJp:
        return fitsEucJp(s);
    case PageCoding::Iso2022Jp:
        return scan.firstMark < 0; // 7-bit throughout
    default:
        return scan.utf8;
    }
}

// ICU's detector, asked only about the four codings: the first of them it ranks whose byte
// grammar the page keeps wins.
bool detectJapanese(QByteArrayView body, qsizetype from, const ByteScan& scan, PageCoding* coding)
{
    // Enough text to judge by, starting where the first non-ASCII byte or escape is.
    constexpr qsizetype Window = 64 * 1024;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status),
                                                                        &ucsdet_close);
    if (U_FAILURE(status))
        return false;
    const QByteArrayView window = body.sliced(from, qMin(Window, body.size() - from));
    ucsdet_setText(detector.get(), window.data(), int32_t(window.size()), &status);
    int32_t count = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &status);
    if (U_FAILURE(status))
        return false;
    static const struct {
        const char* name;
        PageCoding coding;
    } Known[] = {{"Shift_JIS", PageCoding::ShiftJis},
                 {"EUC-JP", PageCoding::EucJp},
                 {"ISO-2022-JP", PageCoding::Iso2022Jp},
                 {"UTF-8", PageCoding::Utf8}};
    for (int32_t m = 0; m < count; ++m) {
        const char* name = ucsdet_getName(matches[m], &status);
        if (U_FAILURE(status) || !name)
            return false;
        for (const auto& known : Known) {
            if (std::strcmp(name, known.name) == 0 && fits(known.coding, body, scan)) {
                *coding = known.coding;
                // On a short page the detector takes EUC-JP for Shift_JIS. Read as Shift_JIS,
                // EUC-JP is mostly single-byte katakana, which real Shift_JIS pages are not; and
                // any hiragana or common kanji in Shift_JIS breaks EUC-JP's grammar.
                if (known.coding == PageCoding::ShiftJis && fitsEucJp(body)) {
                    const ShiftJisReading r = readAsShiftJis(body);
                    if (r.halfWidth > r.doubleByte)
                        *coding = PageCoding::EucJp;
                }
                return true;
            }
        }
    }
    return false;
}

CodingDecision decided(CodingDecision d, PageCoding coding, CodingSource source,
                       QByteArrayView label = {})
{
    d.coding = coding;
    d.source = source;
    d.label = label.toByteArray();
    return d;
}

} // namespace

CodingDecision decidePageCoding(QByteArrayView body, QByteArrayView contentType)
{
    const std::optional<MimeType> type = extractMimeType(contentType);
    const QByteArray essence = type ? type->essence : QByteArray();
    CodingDecision d;
    if (body.startsWith("\xEF\xBB\xBF")) {
        d.json = isJsonType(essence) || opensAsJson(body.sliced(3));
        return decided(d, PageCoding::Utf8, CodingSource::Bom);
    }
    d.json = isJsonType(essence) || opensAsJson(body);
    if (body.startsWith("\xFF\xFE"))
        return decided(d, PageCoding::Utf16Le, CodingSource::Bom);
    if (body.startsWith("\xFE\xFF"))
        return decided(d, PageCoding::Utf16Be, CodingSource::Bom);

    // A declaration of a coding that is none of ours ends the search: the detector decides.
    const Declaration header =
        type && type->charset ? declared(*type->charset) : Declaration();
    if (isJapanese(header.kind))
        return decided(d, codingOf(header.kind), CodingSource::Header, header.label);
    bool foreign = header.kind != Label::Invalid;
    if (!foreign) {
        const Declaration meta = Prescan(body).run();
        if (settlesInPage(meta.kind))
            return decided(d, codingOf(meta.kind), CodingSource::Meta, meta.label);
        foreign = meta.kind == Label::Foreign;
    }
    if (!foreign) {
        const Declaration xml = xmlDeclaration(body);
        if (settlesInPage(xml.kind))
            return decided(d, codingOf(xml.kind), CodingSource::Xml, xml.label);
        foreign = xml.kind == Label::Foreign;
    }

    const ByteScan scan = scanBytes(body);
    // JSON is UTF-8, unless its bytes plainly are not.
    if (!foreign && d.json && scan.utf8)
        return decided(d, PageCoding::Utf8, CodingSource::Json);
    if (scan.firstMark >= 0 && scan.utf8)
        return decided(d, PageCoding::Utf8, CodingSource::Detected);
    qsizetype from = scan.firstMark;
    if (from < 0)
        from = body.indexOf('\x1B'); // ISO-2022-JP is all 7-bit
    PageCoding coding;
    if (from >= 0 && detectJapanese(body, from, scan, &coding))
        return decided(d, coding, CodingSource::Detected);
    return d;
}

CodingDecision decideReplyCoding(QByteArrayView reply)
{
    // The header ends at the first empty line, CR LF or bare LF; only the header is scanned.
    qsizetype headEnd = reply.size();
    qsizetype bodyStart = reply.size();
    for (qsizetype nl = reply.indexOf('\n'); nl >= 0; nl = reply.indexOf('\n', nl + 1)) {
        if (reply.sliced(nl + 1).startsWith("\r\n") || reply.sliced(nl + 1).startsWith("\n")) {
            headEnd = nl > 0 && reply[nl - 1] == '\r' ? nl - 1 : nl;
            bodyStart = nl + (reply[nl + 1] == '\r' ? 3 : 2);
            break;
        }
    }
    // Header lines after the status line; repeated Content-Type headers combine as in HTTP.
    const QByteArrayView head = reply.first(headEnd);
    QByteArray contentType;
    qsizetype line = head.indexOf('\n');
    while (line >= 0) {
        const qsizetype start = line + 1;
        line = head.indexOf('\n', start);
        const QByteArrayView text = head.sliced(start, (line < 0 ? headEnd : line) - start);
        if (!startsWithNoCase(text, 0, "content-type"))
            continue;
        const QByteArrayView rest = trimmed(text.sliced(12));
        if (!rest.startsWith(':'))
            continue;
        if (!contentType.isEmpty())
            contentType += ", ";
        contentType += trimmed(rest.sliced(1));
    }
    return decidePageCoding(reply.sliced(bodyStart), contentType);
}

QString codingName(PageCoding coding)
{
    switch (coding) {
    case PageCoding::ShiftJis:
        return QStringLiteral("Shift_JIS");
    case PageCoding::Utf8:
        return QStringLiteral("UTF-8");
    case PageCoding::EucJp:
        return QStringLiteral("EUC-JP");
    case PageCoding::Iso2022Jp:
        return QStringLiteral("ISO-2022-JP");
    case PageCoding::Utf16Le:
        return QStringLiteral("UTF-16LE");
    case PageCoding::Utf16Be:
        return QStringLiteral("UTF-16BE");
    }
    return {};
}

QString shownDeclaration(const CodingDecision& decision)
{
    switch (decision.source) {
    case CodingSource::Header:
    case CodingSource::Meta:
    case CodingSource::Xml:
        return QString::fromLatin1(decision.label);
    case CodingSource::Bom:
    case CodingSource::Json:
    case CodingSource::Detected:
        return codingName(decision.coding);
    case CodingSource::Default:
        break;
    }
    return {};
}

QString codingSourceName(CodingSource source)
{
    static const char* const Sources[] = {"bom",  "header",   "meta",   "xml",
                                          "json", "detected", "default"};
    return QLatin1String(Sources[int(source)]);
}

QString describeCoding(const CodingDecision& decision)
{
    return QStringLiteral("%1 (%2)").arg(codingName(decision.coding),
                                         codingSourceName(decision.source));
}

} // namespace senrokan
