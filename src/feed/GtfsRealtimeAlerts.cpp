// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "GtfsRealtimeAlerts.h"

#include "FeedTexts.h"
#include "feed/GtfsRealtime.pb.h"
#include "route/ServiceWords.h"

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/wire_format_lite.h>

#include <limits>
#include <string>

namespace senrokan
{

namespace
{

using gtfsrt::Alert;

bool concerns(const Alert& alert, const std::string& route)
{
    for (const gtfsrt::EntitySelector& selector : alert.informed_entity()) {
        if ((selector.has_route_id() && selector.route_id() == route) ||
            (selector.has_trip() && selector.trip().has_route_id() &&
             selector.trip().route_id() == route))
            return true;
    }
    return false;
}

bool inForce(const Alert& alert, qint64 now)
{
    if (alert.active_period_size() == 0)
        return true;
    // Times before 1970 never occur in a feed; a clock set there is before every start.
    const quint64 t = now < 0 ? 0 : quint64(now);
    for (const gtfsrt::TimeRange& period : alert.active_period()) {
        if ((!period.has_start() || period.start() <= t) && (!period.has_end() || t < period.end()))
            return true;
    }
    return false;
}

// Whether an alert tells a delay rather than a notice: by what it says happens to service, else
// by its severity, else by whether its header names a delay (real agencies give plain delays an
// OTHER_EFFECT). An effect newer than ours reads as unset.
bool tellsDelay(const Alert& alert)
{
    switch (alert.effect()) {
    case Alert::NO_SERVICE:
    case Alert::REDUCED_SERVICE:
    case Alert::SIGNIFICANT_DELAYS:
    case Alert::DETOUR:
    case Alert::MODIFIED_SERVICE:
        return true;
    case Alert::STOP_MOVED:
    case Alert::ACCESSIBILITY_ISSUE:
    case Alert::NO_EFFECT:
    case Alert::ADDITIONAL_SERVICE:
        return false;
    case Alert::OTHER_EFFECT:
    case Alert::UNKNOWN_EFFECT:
        break;
    }
    switch (alert.severity_level()) {
    case Alert::WARNING:
    case Alert::SEVERE:
        return true;
    case Alert::INFO:
        return false;
    case Alert::UNKNOWN_SEVERITY:
        break;
    }
    // Without a header, the description is what the alert says.
    const gtfsrt::TranslatedString& said =
        alert.header_text().translation_size() > 0 ? alert.header_text() : alert.description_text();
    for (const auto& translation : said.translation()) {
        if (holdsAnyOf(QString::fromStdString(translation.text()), DelayWords))
            return true;
    }
    return false;
}

// The state of service an effect stands for; none for one that names none.
QString effectWords(Alert::Effect effect)
{
    switch (effect) {
    case Alert::NO_SERVICE:
        return QStringLiteral("運休");
    case Alert::REDUCED_SERVICE:
        return QStringLiteral("本数削減");
    case Alert::SIGNIFICANT_DELAYS:
        return QStringLiteral("大幅な遅れ");
    case Alert::DETOUR:
        return QStringLiteral("迂回運転");
    case Alert::MODIFIED_SERVICE:
        return QStringLiteral("運行変更");
    case Alert::STOP_MOVED:
        return QStringLiteral("乗り場変更");
    default:
        return {};
    }
}

// The Japanese translation, else the one without a language, else the first.
QString translated(const gtfsrt::TranslatedString& text)
{
    const gtfsrt::TranslatedString::Translation* untagged = nullptr;
    for (const auto& translation : text.translation()) {
        if (isJapaneseTag(QString::fromStdString(translation.language())))
            return QString::fromStdString(translation.text());
        if (!untagged && translation.language().empty())
            untagged = &translation;
    }
    if (!untagged && text.translation_size() > 0)
        untagged = &text.translation(0);
    return untagged ? QString::fromStdString(untagged->text()) : QString();
}

bool withinBounds(const Alert& alert)
{
    return alert.informed_entity_size() <= MaxAlertSelectors &&
           alert.active_period_size() <= MaxAlertPeriods &&
           alert.header_text().translation_size() <= MaxTranslations &&
           alert.description_text().translation_size() <= MaxTranslations;
}

QString alertText(const Alert& alert)
{
    const QString header = translated(alert.header_text()).trimmed();
    const QString description = translated(alert.description_text()).trimmed();
    // Many feeds repeat the header as the description, or give a description only.
    if (description.isEmpty() || header.contains(description))
        return header;
    if (header.isEmpty())
        return description;
    return header + u' ' + description;
}

// The alerts on one route, gathered an entity at a time.
class RouteAlerts
{
public:
    RouteAlerts(const QString& route, qint64 now) : m_route(route.toStdString()), m_now(now) {}

    // False when the bytes are no entity.
    bool read(const char* bytes, int size)
    {
        if (size > MaxEntityBytes) {
            m_overBounds = true;
            return true;
        }
        // The plain parse would log to stderr of its own accord when a required field is missing.
        if (!m_entity.ParsePartialFromArray(bytes, size) || !m_entity.IsInitialized())
            return false;
        if (!m_entity.has_alert() || m_entity.is_deleted())
            return true;
        const Alert& alert = m_entity.alert();
        if (!withinBounds(alert))
            m_overBounds = true;
        else if (concerns(alert, m_route) && inForce(alert, m_now)) {
            const QString state = effectWords(alert.effect());
            if (tellsDelay(alert)) {
                m_delayed = true;
                m_delays.add(state, alertText(alert));
            } else {
                m_notices.add(state.isEmpty() ? feedtext::Notice : state, alertText(alert));
            }
        }
        return true;
    }

    Verdict verdict() const
    {
        if (m_overBounds)
            return Verdict::failed(feedtext::AlertTooLarge);
        return feedVerdict(m_delayed, m_delays, m_notices);
    }

private:
    std::string m_route;
    qint64 m_now;
    gtfsrt::FeedEntity m_entity; // its parts are kept for the next one
    bool m_overBounds = false;
    bool m_delayed = false;
    FeedReasons m_delays;
    FeedReasons m_notices;
};

// Reads a FeedMessage as the library would, but one entity at a time: the whole message at once
// costs some forty times its size when built of tiny messages. False when the body is none.
bool readFeed(const QByteArray& body, gtfsrt::FeedHeader& header, RouteAlerts& alerts)
{
    using google::protobuf::internal::WireFormatLite;
    if (body.size() > std::numeric_limits<int>::max())
        return false;
    google::protobuf::io::CodedInputStream input(reinterpret_cast<const quint8*>(body.constData()),
                                                 int(body.size()));
    bool hasHeader = false;
    while (const quint32 tag = input.ReadTag()) {
        const int field = WireFormatLite::GetTagFieldNumber(tag);
        if (WireFormatLite::GetTagWireType(tag) != WireFormatLite::WIRETYPE_LENGTH_DELIMITED ||
            (field != 1 && field != 2)) {
            if (field == 0 || !WireFormatLite::SkipField(&input, tag))
                return false;
            continue;
        }
        int size = 0;
        if (!input.ReadVarintSizeAsInt(&size) || !input.Skip(size))
            return false;
        const char* bytes = body.constData() + input.CurrentPosition() - size;
        if (field == 2) {
            if (!alerts.read(bytes, size))
                return false;
            continue;
        }
        // A header given twice is merged.
        gtfsrt::FeedHeader more;
        if (!more.ParsePartialFromArray(bytes, size))
            return false;
        header.MergeFrom(more);
        hasHeader = true;
    }
    return input.ConsumedEntireMessage() && hasHeader && header.IsInitialized();
}

} // namespace

std::optional<Verdict> decideGtfsRealtime(const QByteArray& body, const QString& route,
                                          const QDateTime& now)
{
    const qint64 seconds = now.toSecsSinceEpoch();
    gtfsrt::FeedHeader header;
    RouteAlerts alerts(route, seconds);
    if (!readFeed(body, header, alerts))
        return std::nullopt;
    // A timestamp of 0 is one left unset; one after now is never old.
    const quint64 made = header.timestamp();
    if (made != 0 && made < quint64(qMax<qint64>(seconds, 0))) {
        if (const std::optional<QString> stale =
                staleData(QDateTime::fromSecsSinceEpoch(qint64(made)), u"timestamp", false, now))
            return Verdict::failed(*stale);
    }
    return alerts.verdict();
}

} // namespace senrokan
