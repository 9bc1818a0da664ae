// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <utility>

namespace senrokan
{

// Japan's open transport data API: the official one, which wants a developer's consumer key, and
// the public endpoint, which serves the operators that need none.
inline const QString OdptApiBase = QStringLiteral("https://api.odpt.org/api/v4/");
inline const QString OdptPublicBase = QStringLiteral("https://api-public.odpt.org/api/v4/");

// Why nothing is asked of a Base= written without http:// or https:// and a host: its requests
// would have no host, and a client's complaint about them would quote them, key and all.
inline const QString OdptBaseWithoutServer =
    QStringLiteral("[ODPT] Base= が http:// か https:// で始まるアドレスではありません");

// Where the API is and the key it wants. The key goes into each request to the API as it is made,
// never into an address that is kept or shown.
struct OdptAccess {
    QString base = OdptPublicBase; // ends with "/"
    QString consumerKey;           // empty when none

    // Base= and ConsumerKey= as written; without a Base=, the official API when there is a key
    // and the public endpoint when there is none.
    static OdptAccess fromSettings(const QString& base, const QString& consumerKey);

    // Whether base names a server, as http://host/ or https://host/ does.
    bool namesServer() const;
    // Whether url is a request to the API: it lies under base, which names a server.
    bool serves(const QUrl& url) const;
    // The key a request to url is to carry: the consumer key for the API, none for anyone else.
    QString keyFor(const QUrl& url) const { return serves(url) ? consumerKey : QString(); }
    // The request for a resource of the API ("odpt:Railway") with the query items given, the key
    // added.
    QUrl request(const QString& resource,
                 const QList<std::pair<QString, QString>>& query = {}) const;
    // The address of an operator's train information, as Feed= keeps it: without the key.
    QString trainInformationFeed(const QString& operatorId) const;
};

// url with key added as acl:consumerKey, unless the key is empty or url carries one of its own
// (an address written with its key keeps working).
QUrl withConsumerKey(const QUrl& url, const QString& key);

} // namespace senrokan
