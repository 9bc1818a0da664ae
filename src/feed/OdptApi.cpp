// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "OdptApi.h"

#include <QUrlQuery>

namespace senrokan
{

namespace
{

const QString ConsumerKeyName = QStringLiteral("acl:consumerKey");

} // namespace

OdptAccess OdptAccess::fromSettings(const QString& base, const QString& consumerKey)
{
    OdptAccess access;
    access.consumerKey = consumerKey;
    if (!base.isEmpty())
        access.base = base.endsWith(u'/') ? base : base + u'/';
    else if (!consumerKey.isEmpty())
        access.base = OdptApiBase;
    return access;
}

bool OdptAccess::namesServer() const
{
    const QUrl api(base);
    return (api.scheme() == u"http" || api.scheme() == u"https") && !api.host().isEmpty();
}

bool OdptAccess::serves(const QUrl& url) const
{
    // Compared part by part: a host that merely begins like the API's, or another port, is not it;
    // the scheme's own port written out is.
    const QUrl api(base);
    const auto port = [](const QUrl& u) { return u.port(u.scheme() == u"https" ? 443 : 80); };
    return namesServer() && url.scheme() == api.scheme() &&
           url.host().compare(api.host(), Qt::CaseInsensitive) == 0 && port(url) == port(api) &&
           url.path().startsWith(api.path());
}

QUrl OdptAccess::request(const QString& resource,
                         const QList<std::pair<QString, QString>>& query) const
{
    // Joined as text: resolved as a relative URL, "odpt:Railway" would be a scheme.
    QUrl url(base + resource);
    QUrlQuery items;
    for (const auto& [name, value] : query)
        items.addQueryItem(name, value);
    url.setQuery(items);
    return withConsumerKey(url, consumerKey);
}

QString OdptAccess::trainInformationFeed(const QString& operatorId) const
{
    return base + QStringLiteral("odpt:TrainInformation?odpt:operator=") + operatorId;
}

QUrl withConsumerKey(const QUrl& url, const QString& key)
{
    QUrlQuery query(url);
    if (key.isEmpty() || query.hasQueryItem(ConsumerKeyName))
        return url;
    // Encoded as a query value, so a key with '&' or '+' in it arrives as it was written.
    query.addQueryItem(ConsumerKeyName, QString::fromLatin1(QUrl::toPercentEncoding(key)));
    QUrl keyed = url;
    keyed.setQuery(query);
    return keyed;
}

} // namespace senrokan
