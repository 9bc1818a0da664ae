// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "CompanionSettings.h"

#include "CompanionFile.h"
#include "SettingsFile.h"
#include "base/Failure.h"
#include "calendar/CheckDays.h"
#include "platform/LocalFiles.h"
#include "report/Confirmation.h"
#include "route/RouteAddress.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace senrokan
{

namespace
{

const QString NotifySection = QStringLiteral("Notify");
const QString TargetsKey = QStringLiteral("Targets");
const QString RenderKey = QStringLiteral("Render");
const QString FeedKey = QStringLiteral("Feed");
const QString FeedLineKey = QStringLiteral("FeedLine");
const QString DaysKey = QStringLiteral("Days");
const QString HolidaysKey = QStringLiteral("Holidays");
const QString ConfirmKey = QStringLiteral("Confirm");
const QString PortKey = QStringLiteral("Port");
const QString HoursKey = QStringLiteral("Hours");
const QString TellKey = QStringLiteral("Tell");
const QString MinDelayKey = QStringLiteral("MinDelay");
const QString QuietUntilKey = QStringLiteral("QuietUntil");
const QString TellAll = QStringLiteral("all");
const QString TellSuspension = QStringLiteral("suspension");
// Local time, as CheckTime is written.
const QString QuietUntilForm = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
// A delay of more minutes than a day's is no delay a threshold could mean.
constexpr int MaxMinDelay = 24 * 60;
const QString OdptSection = QStringLiteral("ODPT");
const QString BaseKey = QStringLiteral("Base");
const QString ConsumerKeyKey = QStringLiteral("ConsumerKey");
const QString WindowSection = QStringLiteral("Window");
const QString GeometryKey = QStringLiteral("Geometry");

// "x,y,width,height" with a size of at least one pixel each way; none otherwise.
std::optional<QRect> geometryOf(const QString& text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    // Its far edges too must be ints: beyond them a rectangle wraps round.
    constexpr qint64 Limit = std::numeric_limits<int>::max();
    if (numbers[2] <= 0 || numbers[3] <= 0 || numbers[0] + qint64(numbers[2]) > Limit ||
        numbers[1] + qint64(numbers[3]) > Limit)
        return std::nullopt;
    return QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

QString routeSection(int route)
{
    return QStringLiteral("Route%1").arg(route);
}

// A hand-edited file may say yes and no the other usual ways; an empty value is the default.
bool flag(const QString& value, bool absent)
{
    if (value.isEmpty())
        return absent;
    return value.compare(u"true", Qt::CaseInsensitive) == 0 || value == u"1" ||
           value.compare(u"yes", Qt::CaseInsensitive) == 0;
}

QString flagText(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

OdptAccess odptAccess(const CompanionFile& file)
{
    return OdptAccess::fromSettings(file.value(OdptSection, BaseKey),
                                    file.value(OdptSection, ConsumerKeyKey));
}

// A route's options; a value that cannot be read falls back to the default that watches more,
// never less, and is told in problems.
RouteOptions routeOptions(const CompanionFile& file, int route, QStringList* problems = nullptr)
{
    const QString section = routeSection(route);
    auto tell = [&](const QString& key, const QString& why) {
        if (problems)
            problems->append(QStringLiteral("Senrokan.ini [%1] %2: %3").arg(section, key, why));
    };
    RouteOptions options;
    options.render = flag(file.value(section, RenderKey), false);
    options.feed = file.value(section, FeedKey);
    options.feedLine = file.value(section, FeedLineKey);
    options.feedKey = odptAccess(file).keyFor(QUrl(options.feed));
    QString why;
    if (const std::optional<QString> days = parseCheckDays(file.value(section, DaysKey), &why))
        options.days = *days;
    else
        tell(DaysKey, why + QStringLiteral("（毎日チェックします）"));
    if (const std::optional<bool> on = parseHolidaysValue(file.value(section, HolidaysKey), &why))
        options.holidays = *on;
    else
        tell(HolidaysKey, why + QStringLiteral("（祝日もチェックします）"));
    const QString confirmText = file.value(section, ConfirmKey);
    bool ok = false;
    const int confirm = confirmText.toInt(&ok);
    options.confirm = ok ? std::clamp(confirm, MinConfirm, MaxConfirm) : MinConfirm;
    if (!confirmText.isEmpty() && (!ok || confirm != options.confirm))
        tell(ConfirmKey, QStringLiteral("%1から%2の数で書いてください（%3 回とします）")
                             .arg(MinConfirm)
                             .arg(MaxConfirm)
                             .arg(options.confirm));
    const QString port = file.value(section, PortKey).trimmed();
    if (!port.isEmpty())
        options.port = port;
    if (!fieldPort(options.port))
        tell(PortKey, QStringLiteral("1から65535の数で書いてください（80 番に接続します）"));
    options.hours = file.value(section, HoursKey).trimmed();
    if (!parseHours(options.hours, &why))
        tell(HoursKey, why + QStringLiteral("（一日中チェックします）"));
    const QString tellText = file.value(section, TellKey).trimmed();
    options.suspensionsOnly = tellText.compare(TellSuspension, Qt::CaseInsensitive) == 0;
    if (!tellText.isEmpty() && !options.suspensionsOnly &&
        tellText.compare(TellAll, Qt::CaseInsensitive) != 0)
        tell(TellKey,
             QStringLiteral("all か suspension で書いてください（遅れをすべて知らせます）"));
    const QString minDelayText = file.value(section, MinDelayKey).trimmed();
    const int minDelay = minDelayText.toInt(&ok);
    if (ok && minDelay >= 0 && minDelay <= MaxMinDelay)
        options.minDelay = minDelay;
    else if (!minDelayText.isEmpty())
        tell(MinDelayKey,
             QStringLiteral("0から%1の分の数で書いてください（遅れをすべて知らせます）")
                 .arg(MaxMinDelay));
    const QString quietText = file.value(section, QuietUntilKey).trimmed();
    options.quietUntil = QDateTime::fromString(quietText, Qt::ISODate);
    if (!quietText.isEmpty() && !options.quietUntil.isValid())
        tell(QuietUntilKey,
             QStringLiteral("2026-04-01T23:59:00 の形で書いてください（知らせます）"));
    return options;
}

QString unreadableText(const QString& path)
{
    return QStringLiteral("%1 を読めません").arg(path);
}

QString unwritableText(const QString& path)
{
    return QStringLiteral("%1 に書き込めません").arg(path);
}

} // namespace

CompanionSettings::CompanionSettings(const QString& dir)
    : m_path(platform::joinToDirectory(dir, CompanionFileName))
{
}

CompanionValues CompanionSettings::read() const
{
    CompanionValues values;
    const std::optional<CompanionFile> file = CompanionFile::read(m_path);
    if (!file) {
        values.unreadable = unreadableText(m_path);
        values.targets.problems.append(values.unreadable);
        // Every route then goes without its options: told, as an option that cannot be read is.
        values.routeProblems.append(
            values.unreadable + QStringLiteral("（路線ごとの設定を使わず、毎日チェックします）"));
        return values;
    }
    values.targetTexts = splitTargetTexts(file->value(NotifySection, TargetsKey));
    values.targets = parseReportTargets(values.targetTexts, !appriseProgram().isEmpty());
    for (int r = 1; r <= RouteCount; ++r)
        values.routes[r] = routeOptions(*file, r, &values.routeProblems);
    values.odpt = odptAccess(*file);
    values.windowGeometry = geometryOf(file->value(WindowSection, GeometryKey));
    return values;
}

SettingsWrite CompanionSettings::saveWindowGeometry(const QRect& geometry) const
{
    return saveValue(WindowSection, GeometryKey,
                     QStringLiteral("%1,%2,%3,%4")
                         .arg(geometry.x())
                         .arg(geometry.y())
                         .arg(geometry.width())
                         .arg(geometry.height()));
}

SettingsWrite CompanionSettings::saveValue(const QString& section, const QString& key,
                                           const QString& value) const
{
    std::optional<CompanionFile> file = CompanionFile::read(m_path);
    if (!file)
        return SettingsWrite::failed(unreadableText(m_path));
    // A value as it stands is not written again: the file may be one the user keeps by hand.
    if (file->value(section, key) == value)
        return {};
    file->setValue(section, key, value);
    return saved(*file);
}

SettingsWrite CompanionSettings::saved(const CompanionFile& file) const
{
    return file.save(m_path) ? SettingsWrite{} : SettingsWrite::failed(unwritableText(m_path));
}

SettingsWrite CompanionSettings::saveTargets(const QStringList& texts) const
{
    return saveValue(NotifySection, TargetsKey, texts.join(u' '));
}

SettingsWrite CompanionSettings::addTarget(const QString& text) const
{
    QString error;
    if (!parseReportTarget(text, !appriseProgram().isEmpty(), &error))
        return SettingsWrite::failed(error);
    CompanionValues values = read();
    if (!values.unreadable.isEmpty())
        return SettingsWrite::failed(values.unreadable);
    values.targetTexts.append(text.trimmed());
    return saveTargets(values.targetTexts);
}

SettingsWrite CompanionSettings::removeTarget(int index) const
{
    CompanionValues values = read();
    if (!values.unreadable.isEmpty())
        return SettingsWrite::failed(values.unreadable);
    if (index < 0 || index >= values.targetTexts.size())
        return SettingsWrite::failed(QStringLiteral("その通知先はもうありません"));
    values.targetTexts.removeAt(index);
    return saveTargets(values.targetTexts);
}

SettingsWrite CompanionSettings::saveRouteOptions(int route, const RouteOptions& options) const
{
    if (!isRouteIndex(route))
        return SettingsWrite::failed(failureDescription(FailureKind::InvalidArgument));
    std::optional<CompanionFile> file = CompanionFile::read(m_path);
    if (!file)
        return SettingsWrite::failed(unreadableText(m_path));
    const RouteOptions stored = routeOptions(*file, route);
    const QString section = routeSection(route);
    auto set = [&](bool differs, const QString& key, const QString& value) {
        if (differs)
            file->setValue(section, key, value);
    };
    set(stored.render != options.render, RenderKey, flagText(options.render));
    set(stored.feed != options.feed, FeedKey, options.feed.trimmed());
    set(stored.feedLine != options.feedLine, FeedLineKey, options.feedLine.trimmed());
    set(stored.days != options.days, DaysKey, options.days.trimmed());
    set(stored.holidays != options.holidays, HolidaysKey, flagText(options.holidays));
    set(stored.confirm != options.confirm, ConfirmKey, QString::number(options.confirm));
    set(stored.port != options.port, PortKey, options.port.trimmed());
    set(stored.hours != options.hours, HoursKey, options.hours.trimmed());
    set(stored.suspensionsOnly != options.suspensionsOnly, TellKey,
        options.suspensionsOnly ? TellSuspension : TellAll);
    set(stored.minDelay != options.minDelay, MinDelayKey, QString::number(options.minDelay));
    // The pause is saved on its own: options read before it was set must not take it back.
    RouteOptions edited = options;
    edited.quietUntil = stored.quietUntil;
    if (stored == edited)
        return {};
    return saved(*file);
}

SettingsWrite CompanionSettings::saveQuietUntil(int route, const QDateTime& until) const
{
    if (!isRouteIndex(route))
        return SettingsWrite::failed(failureDescription(FailureKind::InvalidArgument));
    return saveValue(routeSection(route), QuietUntilKey,
                     until.isValid() ? until.toLocalTime().toString(QuietUntilForm) : QString());
}

SettingsWrite CompanionSettings::saveConsumerKey(const QString& key) const
{
    return saveValue(OdptSection, ConsumerKeyKey, key.trimmed());
}

OdptAccess CompanionSettings::odptWithKey(const QString& consumerKey) const
{
    const std::optional<CompanionFile> file = CompanionFile::read(m_path);
    return OdptAccess::fromSettings(file ? file->value(OdptSection, BaseKey) : QString(),
                                    consumerKey.trimmed());
}

} // namespace senrokan
