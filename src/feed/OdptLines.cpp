// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "OdptLines.h"

#include "FeedTexts.h"
#include "codec/JsonEscapes.h"
#include "codec/TextSearch.h"
#include "route/Reason.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>

namespace senrokan
{

namespace
{

const QString RailwayPrefix = QStringLiteral("odpt.Railway:");
const QString OperatorPrefix = QStringLiteral("odpt.Operator:");
const QString ShippedList = QStringLiteral(":/senrokan/odpt-railways-tokyo.tsv");

// Counted before they are parsed, so that any answer within the reply cap costs tens of megabytes
// at most: the railways of every operator with their stations, 2.6 MB, are some 30 000 arrays and
// objects and 150 000 values, and 600 railways; each railway kept costs some 400 bytes more, in
// the picker's list a few times that.
constexpr qsizetype MaxListContainers = 100000;
constexpr qsizetype MaxListValues = 600000;
constexpr qsizetype MaxRailways = 10000;

// Hiragana ぁ (U+3041) to ゔ (U+3094) in Hepburn romaji; っ is left out, as a doubled consonant
// counts for one (latinKey).
constexpr char16_t FirstKana = 0x3041;
constexpr std::array<const char*, 0x54> Romaji = {
    "a",  "a",  "i",  "i",  "u",   "u",  "e",  "e",   "o",   "o",  "ka", "ga", "ki", "gi",
    "ku", "gu", "ke", "ge", "ko",  "go", "sa", "za",  "shi", "ji", "su", "zu", "se", "ze",
    "so", "zo", "ta", "da", "chi", "ji", "",   "tsu", "zu",  "te", "de", "to", "do", "na",
    "ni", "nu", "ne", "no", "ha",  "ba", "pa", "hi",  "bi",  "pi", "fu", "bu", "pu", "he",
    "be", "pe", "ho", "bo", "po",  "ma", "mi", "mu",  "me",  "mo", "ya", "ya", "yu", "yu",
    "yo", "yo", "ra", "ri", "ru",  "re", "ro", "wa",  "wa",  "i",  "e",  "o",  "n",  "vu"};

bool isSmallVowel(char16_t c)
{
    return c == u'ぁ' || c == u'ぃ' || c == u'ぅ' || c == u'ぇ' || c == u'ぉ';
}

bool isSmallY(char16_t c)
{
    return c == u'ゃ' || c == u'ゅ' || c == u'ょ';
}

bool endsWithVowel(const QString& text)
{
    return !text.isEmpty() && QStringView(u"aeiou").contains(text.back());
}

// Kana read in romaji, everything else as it stands; text as TextSearch folds it (katakana as
// hiragana, letters in lower case).
QString romaji(const QString& folded)
{
    QString out;
    for (const QChar ch : folded) {
        const char16_t c = ch.unicode();
        if (c < FirstKana || c >= FirstKana + Romaji.size()) {
            if (c != u'ー')
                out += ch;
            continue;
        }
        const QString syllable = QString::fromLatin1(Romaji.at(c - FirstKana));
        if (isSmallVowel(c) && out.size() > 1 && endsWithVowel(out)) {
            out.back() = syllable.front(); // ふぁ fa, てぃ ti
        } else if (isSmallY(c) && out.size() > 1 && out.endsWith(u'i')) {
            out.chop(1); // きゃ kya, しゃ sha, ちゃ cha, じゃ ja
            const bool palatal = out.endsWith(u"sh") || out.endsWith(u"ch") || out.endsWith(u'j');
            out += palatal ? syllable.mid(1) : syllable;
        } else {
            out += syllable;
        }
    }
    return out;
}

// Latin letters only, with the spellings romaji varies in read alike: n or m before b, m and p
// (Shinbashi, Shimbashi), long vowels written out or not (Toukyou, Tokyo), doubled consonants.
QString latinKey(const QString& text)
{
    QString key;
    for (const QChar c : text.toLower())
        if (c >= u'a' && c <= u'z')
            key += c;
    for (const auto& [from, to] : {std::pair("mb", "nb"), std::pair("mp", "np"),
                                   std::pair("mm", "nm"), std::pair("tch", "ch")})
        key.replace(QLatin1String(from), QLatin1String(to));
    QString single;
    for (const QChar c : key)
        if (single.isEmpty() || single.back() != c)
            single += c;
    return single.replace(QLatin1String("ou"), QLatin1String("o"));
}

// Whether the id reads as key from the start of one of its words (Toei, Shinjuku of
// Seibu.Shinjuku or of ShonanShinjuku): from anywhere, a short reading such as ome (青梅) would
// find every line of TokyoMetro.
bool readsAs(const QString& id, const QString& key)
{
    const QString name = id.mid(id.indexOf(u':') + 1);
    for (qsizetype i = 0; i < name.size(); ++i) {
        const bool wordStart = i == 0 || !name.at(i - 1).isLetter() ||
                               (name.at(i).isUpper() && name.at(i - 1).isLower());
        if (wordStart && name.at(i).isLetter() && latinKey(name.mid(i)).startsWith(key))
            return true;
    }
    return false;
}

bool isAscii(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// The last part of an id: Ginza of odpt.Railway:TokyoMetro.Ginza, Toei of odpt.Operator:Toei.
QString idName(const QString& id)
{
    const QString rest = id.mid(id.indexOf(u':') + 1);
    return rest.mid(rest.lastIndexOf(u'.') + 1);
}

// Titles and ids come from the network, to be printed and stored: folded as reasons are.
QString title(const QJsonObject& record, QStringView key, const QString& absent)
{
    QString text = foldName(languageText(record.value(key)));
    if (text.isEmpty())
        text = foldName(languageText(record.value(u"dc:title")));
    return text.isEmpty() ? absent : text;
}

QString idOf(const QJsonObject& record, QStringView key)
{
    return foldName(record.value(key).toString());
}

std::optional<QJsonArray> jsonArray(const QByteArray& bytes, const QString& resource, QString* why)
{
    if (const JsonCounts counts = countJson(bytes);
        counts.containers > MaxListContainers || counts.values > MaxListValues) {
        if (why)
            *why = QStringLiteral("%1 の答えが大きすぎます（配列とオブジェクト%2個、値%3個まで）")
                       .arg(resource)
                       .arg(MaxListContainers)
                       .arg(MaxListValues);
        return std::nullopt;
    }
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (document.isArray())
        return document.array();
    if (why)
        *why = QStringLiteral("%1 の答えがJSON配列ではありません").arg(resource);
    return std::nullopt;
}

} // namespace

QString odptOperatorId(const QString& text)
{
    return text.isEmpty() || text.startsWith(OperatorPrefix) ? text : OperatorPrefix + text;
}

QString odptOperatorOf(const QString& railwayId)
{
    if (!railwayId.startsWith(RailwayPrefix))
        return {};
    const QString rest = railwayId.mid(RailwayPrefix.size());
    const qsizetype dot = rest.indexOf(u'.');
    return dot > 0 && dot + 1 < rest.size() ? OperatorPrefix + rest.left(dot) : QString();
}

std::optional<QList<OdptLine>> parseOdptLines(const QByteArray& railways,
                                              const QByteArray& operators, QString* why)
{
    QHash<QString, QString> operatorNames;
    {
        const std::optional<QJsonArray> records =
            jsonArray(operators, QStringLiteral("odpt:Operator"), why);
        if (!records)
            return std::nullopt;
        for (const QJsonValue& value : *records) {
            const QJsonObject record = value.toObject();
            const QString id = idOf(record, u"owl:sameAs");
            operatorNames.insert(id, title(record, u"odpt:operatorTitle", idName(id)));
        }
    }
    const std::optional<QJsonArray> records =
        jsonArray(railways, QStringLiteral("odpt:Railway"), why);
    if (!records)
        return std::nullopt;
    if (records->size() > MaxRailways) {
        if (why)
            *why = QStringLiteral("odpt:Railway の答えの路線が多すぎます（%1本まで）")
                       .arg(MaxRailways);
        return std::nullopt;
    }
    QList<OdptLine> lines;
    for (const QJsonValue& value : *records) {
        const QJsonObject record = value.toObject();
        OdptLine line;
        line.id = idOf(record, u"owl:sameAs");
        if (!line.id.startsWith(RailwayPrefix))
            continue;
        line.operatorId = idOf(record, u"odpt:operator");
        if (line.operatorId.isEmpty())
            line.operatorId = odptOperatorOf(line.id);
        line.operatorName = operatorNames.value(line.operatorId, idName(line.operatorId));
        line.name = title(record, u"odpt:railwayTitle", idName(line.id));
        lines.append(line);
    }
    return lines;
}

QList<OdptLine> shippedOdptLines()
{
    QFile file(ShippedList);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<OdptLine> lines;
    while (!file.atEnd()) {
        const QString row = QString::fromUtf8(file.readLine()).trimmed();
        const QStringList columns = row.split(u'\t');
        if (row.startsWith(u'#') || columns.size() < 4)
            continue;
        lines.append({columns.at(0), columns.at(1), columns.at(2), columns.at(3)});
    }
    return lines;
}

QList<OdptLine> operatorLines(const QList<OdptLine>& lines, const QString& operatorId)
{
    if (operatorId.isEmpty())
        return lines;
    const QString id = odptOperatorId(operatorId);
    QList<OdptLine> found;
    for (const OdptLine& line : lines)
        if (line.operatorId == id)
            found.append(line);
    return found;
}

QList<OdptLine> findOdptLines(const QList<OdptLine>& lines, const QString& query)
{
    const QString word = query.trimmed();
    const QString read = romaji(TextSearch::fold(word));
    // Only a query wholly in kana or Latin letters has a reading to compare with the ids.
    QString key = isAscii(read) ? latinKey(read) : QString();
    // 線 read out is no part of the ids: ぎんざせん is Ginza.
    if (key.size() > 3 && key.endsWith(QLatin1String("sen")))
        key.chop(3);
    QList<OdptLine> found;
    for (const OdptLine& line : lines) {
        const TextSearch text(line.name + u'\n' + line.operatorName + u'\n' + line.id);
        if (text.find(word, 1) != 0 || (!key.isEmpty() && readsAs(line.id, key)))
            found.append(line);
    }
    return found;
}

std::optional<OdptLine> odptLine(const QList<OdptLine>& lines, const QString& id)
{
    const QString operatorId = odptOperatorOf(id);
    if (operatorId.isEmpty())
        return std::nullopt;
    OdptLine made{id, operatorId, idName(operatorId), idName(id)};
    for (const OdptLine& line : lines) {
        if (line.id == id)
            return line;
        if (line.operatorId == operatorId)
            made.operatorName = line.operatorName;
    }
    return made;
}

} // namespace senrokan
