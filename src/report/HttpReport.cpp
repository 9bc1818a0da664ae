// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "HttpReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace senrokan
{

namespace
{

const QByteArray JsonType = "application/json";

// The server's address: the scheme's HTTP or HTTPS, host and port, with no user part.
QUrl serverUrl(const ReportTarget& target, const QString& path)
{
    QUrl url;
    url.setScheme(target.secure ? QStringLiteral("https") : QStringLiteral("http"));
    url.setHost(target.url.host());
    url.setPort(target.url.port());
    url.setPath(path);
    return url;
}

void addBasicAuth(HttpReport& request, const QUrl& url)
{
    if (url.userName().isEmpty())
        return;
    const QByteArray pair = (url.userName() + u':' + url.password()).toUtf8();
    request.headers.append({"Authorization", "Basic " + pair.toBase64()});
}

// A link as it goes out to whoever reads the report: without the account that a page's address
// (or the target's own link) may have been written with.
QByteArray publicLink(const QString& text)
{
    QUrl url(text, QUrl::TolerantMode);
    url.setUserInfo(QString());
    return url.toString().toUtf8();
}

QByteArray compactJson(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// A priority given by name, else by its first letter or (numbered) its place from 1, as the scheme
// reads it: its index in names, or -1.
template <std::size_t N>
int levelIndex(const QString& given, const std::array<const char*, N>& names, bool numbered)
{
    const QString value = given.trimmed().toLower();
    if (value.isEmpty())
        return -1;
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    if (isNumber)
        return numbered && number >= 1 && number <= int(N) ? number - 1 : -1;
    for (std::size_t i = 0; i < N; ++i) {
        if (value == QLatin1String(names[i]))
            return int(i);
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (QLatin1String(names[i]).startsWith(value.left(1)))
            return int(i);
    }
    return -1;
}

HttpReport ntfyReport(const ReportTarget& target, const ChangeReport& report)
{
    // Without a host part the topic is on the public server.
    const QStringList segments =
        target.url.path(QUrl::FullyDecoded).split(u'/', Qt::SkipEmptyParts);
    HttpReport request;
    QString topic;
    if (segments.isEmpty()) {
        topic = target.url.host();
        request.url = QUrl(QStringLiteral("https://ntfy.sh/"));
    } else {
        topic = segments.first();
        request.url = serverUrl(target, QStringLiteral("/"));
    }
    request.headers.append({"Content-Type", JsonType});
    static constexpr std::array<const char*, 5> Levels = {"min", "low", "default", "high", "max"};
    // The server's default needs no header.
    if (const int level = levelIndex(target.option(QStringLiteral("priority")), Levels, true);
        level >= 0 && level != 2)
        request.headers.append({"X-Priority", QByteArray(Levels[level])});
    const QString click = target.option(QStringLiteral("click"));
    if (!click.isEmpty() || !report.pageUrl.isEmpty())
        request.headers.append({"X-Click", publicLink(click.isEmpty() ? report.pageUrl : click)});
    QStringList tags = target.option(QStringLiteral("tags")).split(u',', Qt::SkipEmptyParts);
    for (QString& tag : tags)
        tag = tag.trimmed();
    tags.removeAll(QString());
    std::sort(tags.begin(), tags.end());
    tags.removeDuplicates();
    if (!tags.isEmpty())
        request.headers.append({"X-Tags", tags.join(u',').toUtf8()});
    // One Authorization header goes: the token's when the URL gives both it and an account.
    if (const QString token = target.option(QStringLiteral("token")); !token.isEmpty())
        request.headers.append({"Authorization", "Bearer " + token.toUtf8()});
    else
        addBasicAuth(request, target.url);
    request.body = compactJson({{QStringLiteral("topic"), topic},
                                {QStringLiteral("title"), report.title},
                                {QStringLiteral("message"), report.message}});
    return request;
}

QString messageType(const ChangeReport& report)
{
    return report.delayed ? QStringLiteral("warning") : QStringLiteral("success");
}

HttpReport webhookReport(const ReportTarget& target, const ChangeReport& report)
{
    HttpReport request;
    const QString path = target.url.path(QUrl::FullyDecoded);
    request.url = serverUrl(target, path.isEmpty() ? QStringLiteral("/") : path);
    addBasicAuth(request, target.url);
    if (target.kind == TargetKind::Json) {
        request.headers.append({"Content-Type", JsonType});
        request.body = compactJson({{QStringLiteral("version"), QStringLiteral("1.0")},
                                    {QStringLiteral("title"), report.title},
                                    {QStringLiteral("message"), report.message},
                                    {QStringLiteral("attachments"), QJsonArray()},
                                    {QStringLiteral("type"), messageType(report)}});
    } else {
        request.headers.append({"Content-Type", QByteArray("application/x-www-form-urlencoded")});
        const auto field = [](const char* name, const QString& value) {
            return QByteArray(name) + '=' + value.toUtf8().toPercentEncoding(" ").replace(' ', '+');
        };
        request.body = field("version", QStringLiteral("1.0")) + '&' +
                       field("title", report.title) + '&' + field("message", report.message) + '&' +
                       field("type", messageType(report));
    }
    return request;
}

HttpReport gotifyReport(const ReportTarget& target, const ChangeReport& report)
{
    QStringList segments = target.url.path(QUrl::FullyDecoded).split(u'/', Qt::SkipEmptyParts);
    const QString token = segments.takeLast();
    segments.append(QStringLiteral("message"));
    HttpReport request;
    request.url = serverUrl(target, u'/' + segments.join(u'/'));
    request.headers.append({"Content-Type", JsonType});
    request.headers.append({"X-Gotify-Key", token.toUtf8()});
    // Gotify counts 0 to 10; the scheme names five steps of it.
    static constexpr std::array<const char*, 5> Levels = {"low", "moderate", "normal", "high",
                                                          "emergency"};
    static constexpr std::array<int, 5> Numbers = {0, 3, 5, 8, 10};
    const QString given = target.option(QStringLiteral("priority"));
    int priority = 5;
    bool isNumber = false;
    const int number = given.toInt(&isNumber);
    if (isNumber && std::find(Numbers.begin(), Numbers.end(), number) != Numbers.end())
        priority = number;
    else if (const int level = levelIndex(given, Levels, false); level >= 0)
        priority = Numbers[level];
    request.body = compactJson({{QStringLiteral("priority"), priority},
                                {QStringLiteral("title"), report.title},
                                {QStringLiteral("message"), report.message}});
    return request;
}

} // namespace

HttpReport httpReport(const ReportTarget& target, const ChangeReport& report)
{
    switch (target.kind) {
    case TargetKind::Ntfy:
        return ntfyReport(target, report);
    case TargetKind::Gotify:
        return gotifyReport(target, report);
    default:
        return webhookReport(target, report);
    }
}

} // namespace senrokan
