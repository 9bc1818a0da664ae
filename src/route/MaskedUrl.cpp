// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "MaskedUrl.h"

#include <QRegularExpression>
#include <QUrlQuery>

namespace senrokan
{

namespace
{

const QStringList SecretKeys = {QStringLiteral("token"), QStringLiteral("key"),
                                QStringLiteral("apikey"), QStringLiteral("api_key"),
                                QStringLiteral("password"),
                                // the consumer key of Japan's open transport data
                                QStringLiteral("acl:consumerKey")};

bool isSecretKey(const QString& key)
{
    return SecretKeys.contains(key, Qt::CaseInsensitive);
}

// A secret key's value in a query, whatever the address around it looks like.
QRegularExpression secretValue()
{
    QStringList keys;
    for (const QString& key : SecretKeys)
        keys << QRegularExpression::escape(key);
    return QRegularExpression(QStringLiteral("([?&](?:%1)=)[^&#\\s]+").arg(keys.join(u'|')),
                              QRegularExpression::CaseInsensitiveOption);
}

} // namespace

QString maskedUrlText(const QUrl& given)
{
    QUrl url = given;
    if (!url.password().isEmpty())
        url.setPassword(HiddenText);
    QUrlQuery query(url);
    QList<std::pair<QString, QString>> items = query.queryItems(QUrl::FullyDecoded);
    bool changed = false;
    for (auto& [name, value] : items) {
        if (isSecretKey(name) && !value.isEmpty()) {
            value = HiddenText;
            changed = true;
        }
    }
    if (changed) {
        query.setQueryItems(items);
        url.setQuery(query);
    }
    return url.toString();
}

QString urlsMaskedIn(const QString& text, const std::function<QString(const QString&)>& mask)
{
    // A slash short ("https:/host…") is still an address, and its query still secret; a drive
    // letter ("C:/…") is none.
    static const QRegularExpression Url(QStringLiteral("[A-Za-z][A-Za-z0-9+.-]+:/\\S+"));
    QString out;
    qsizetype last = 0;
    for (const QRegularExpressionMatch& match : Url.globalMatch(text)) {
        const QString url = match.captured();
        out += text.mid(last, match.capturedStart() - last) +
               (mask ? mask(url) : maskedUrlText(QUrl(url)));
        last = match.capturedEnd();
    }
    // An address without scheme:/ (no scheme, or one not followed by a slash) is not taken for
    // one above, but its query may still hold a key.
    static const QRegularExpression SecretValue = secretValue();
    out += text.mid(last);
    return out.replace(SecretValue, QStringLiteral("\\1") + HiddenText);
}

} // namespace senrokan
