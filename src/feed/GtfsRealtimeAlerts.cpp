// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "GtfsRealtimeAlerts.h"

#include "FeedTexts.h"
#include "feed/GtfsRealtime.pb.h"

#include <google/protobuf/arena.h>

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

bool tellsDelay(const Alert& alert)
{
    // An effect newer than ours reads as unset, which counts.
    switch (alert.effect()) {
    case Alert::NO_EFFECT:
    case Alert::ACCESSIBILITY_ISSUE:
    case Alert::ADDITIONAL_SERVICE:
        return false;
    default:
        return true;
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

} // namespace

std::optional<Verdict> decideGtfsRealtime(const QByteArray& body, const QString& route,
                                              const QDateTime& now)
{
    // One arena for the whole message: tens of thousands of small messages, freed at once. Its
    // blocks are large enough for the C library to map each on its own (platform/MemoryTuning),
    // so that they go back to the system with the arena instead of staying in the heap.
    google::protobuf::ArenaOptions options;
    options.start_block_size = 512 * 1024;
    options.max_block_size = 4 * 1024 * 1024;
    google::protobuf::Arena arena(options);
    auto* feed = google::protobuf::Arena::CreateMessage<gtfsrt::FeedMessage>(&arena);
    // The plain parse would log to stderr of its own accord when a required field is missing.
    if (body.size() > std::numeric_limits<int>::max() ||
        !feed->ParsePartialFromArray(body.constData(), int(body.size())) || !feed->IsInitialized())
        return std::nullopt;

    const std::string id = route.toStdString();
    const qint64 seconds = now.toSecsSinceEpoch();
    bool delayed = false;
    FeedReasons reasons;
    for (const gtfsrt::FeedEntity& entity : feed->entity()) {
        if (entity.is_deleted() || !entity.has_alert())
            continue;
        const Alert& alert = entity.alert();
        if (!concerns(alert, id) || !inForce(alert, seconds) || !tellsDelay(alert))
            continue;
        delayed = true;
        reasons.add(alertText(alert));
    }
    if (!delayed)
        return Verdict{StatusNormal, {}};
    return Verdict{StatusDelayed, reasons.joined()};
}

} // namespace senrokan
