// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "AlertsFeed.h"

namespace senrokan::test
{

namespace
{

void translate(gtfsrt::TranslatedString* out, const QList<FeedTranslation>& texts)
{
    for (const FeedTranslation& text : texts) {
        gtfsrt::TranslatedString::Translation* translation = out->add_translation();
        translation->set_text(text.text.toStdString());
        if (text.language)
            translation->set_language(text.language->toStdString());
    }
}

} // namespace

QByteArray alertsFeed(const QList<FeedAlert>& alerts, qint64 made)
{
    gtfsrt::FeedMessage feed;
    feed.mutable_header()->set_gtfs_realtime_version("2.0");
    feed.mutable_header()->set_timestamp(quint64(made));
    int id = 0;
    for (const FeedAlert& alert : alerts) {
        gtfsrt::FeedEntity* entity = feed.add_entity();
        entity->set_id("alert-" + std::to_string(++id));
        if (alert.deleted)
            entity->set_is_deleted(true);
        gtfsrt::Alert* out = entity->mutable_alert();
        if (!alert.routeId.isEmpty())
            out->add_informed_entity()->set_route_id(alert.routeId.toStdString());
        if (!alert.tripRouteId.isEmpty()) {
            gtfsrt::TripDescriptor* trip = out->add_informed_entity()->mutable_trip();
            trip->set_trip_id("trip-" + std::to_string(id));
            trip->set_route_id(alert.tripRouteId.toStdString());
        }
        if (alert.effect)
            out->set_effect(*alert.effect);
        if (alert.severity)
            out->set_severity_level(*alert.severity);
        for (const FeedPeriod& period : alert.periods) {
            gtfsrt::TimeRange* range = out->add_active_period();
            if (period.start)
                range->set_start(quint64(*period.start));
            if (period.end)
                range->set_end(quint64(*period.end));
        }
        if (!alert.header.isEmpty())
            translate(out->mutable_header_text(), alert.header);
        if (!alert.description.isEmpty())
            translate(out->mutable_description_text(), alert.description);
    }
    const std::string bytes = feed.SerializeAsString();
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

QByteArray agencyAlertsFeed(qint64 now)
{
    constexpr int Routes = 200;
    QList<FeedAlert> alerts;
    for (int i = 0; i < 20000; ++i) {
        FeedAlert alert;
        alert.routeId = QStringLiteral("route-%1").arg(i % Routes);
        if (i % 3 == 0)
            alert.tripRouteId = alert.routeId;
        alert.effect = i % 2 ? gtfsrt::Alert::SIGNIFICANT_DELAYS : gtfsrt::Alert::DETOUR;
        const qint64 start = i % 10 == 0 ? now - 3600 : now + 3600 * (i % 48 + 1);
        alert.periods = {{start, start + 7200}};
        alert.header = {{QStringLiteral("%1番線 運転見合わせ").arg(i), QStringLiteral("ja")},
                        {QStringLiteral("Service suspended %1").arg(i), QStringLiteral("en")}};
        alert.description = {
            {QStringLiteral("信号故障の影響で、上下線で運転を見合わせています。運転再開は"
                            "%1時頃を見込んでいます。")
                 .arg(i % 24),
             QStringLiteral("ja")}};
        alerts << alert;
    }
    return alertsFeed(alerts, now);
}

QByteArray alertsFlood(qint64 made, qsizetype size)
{
    gtfsrt::FeedMessage one;
    gtfsrt::Alert* alert = one.add_entity()->mutable_alert();
    one.mutable_entity(0)->set_id("f");
    alert->add_informed_entity()->set_route_id("route-0");
    for (int i = 1; i < MaxAlertSelectors; ++i)
        alert->add_informed_entity();
    for (int i = 0; i < MaxAlertPeriods; ++i)
        alert->add_active_period();
    for (int i = 0; i < MaxTranslations; ++i)
        alert->mutable_header_text()->add_translation()->set_text("");
    // Messages laid end to end are one message, their entities in turn.
    const QByteArray entity = QByteArray::fromStdString(one.SerializePartialAsString());
    QByteArray feed = alertsFeed({}, made);
    feed.reserve(size);
    while (feed.size() + entity.size() <= size)
        feed += entity;
    return feed;
}

QByteArray odptFlood(qsizetype size)
{
    return '[' + QByteArray("0,").repeated((size - 3) / 2) + "0]";
}

} // namespace senrokan::test
