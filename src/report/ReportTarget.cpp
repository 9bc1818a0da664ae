// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ReportTarget.h"

#include <QRegularExpression>
#include <QStandardPaths>

namespace senrokan
{

namespace
{

const QString Hidden = QStringLiteral("****");

struct SchemeKind {
    const char* plain;
    const char* secure;
    TargetKind kind;
};

constexpr SchemeKind NativeSchemes[] = {
    {"ntfy", "ntfys", TargetKind::Ntfy},     {"json", "jsons", TargetKind::Json},
    {"form", "forms", TargetKind::Form},     {"gotify", "gotifys", TargetKind::Gotify},
    {"mailto", "mailtos", TargetKind::Mail},
};

QStringList pathSegments(const QUrl& url)
{
    return url.path(QUrl::FullyDecoded).split(u'/', Qt::SkipEmptyParts);
}

// Query keys of the scheme are not case-sensitive; Qt's are.
QString queryValue(const QUrl& url, const QString& key)
{
    const QUrlQuery query(url);
    for (const auto& [name, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QUrl withQueryValueHidden(QUrl url, const QString& key)
{
    QUrlQuery query(url);
    QList<std::pair<QString, QString>> items = query.queryItems(QUrl::FullyDecoded);
    bool changed = false;
    for (auto& [name, value] : items) {
        if (name.compare(key, Qt::CaseInsensitive) == 0 && !value.isEmpty()) {
            value = Hidden;
            changed = true;
        }
    }
    if (changed) {
        query.setQueryItems(items);
        url.setQuery(query);
    }
    return url;
}

// text is the URL as written: a parsed URL may have rewritten the host (a number taken for an
// IPv4 address).
QString maskedUrl(QUrl url, TargetKind kind, const QString& text)
{
    if (!url.password().isEmpty())
        url.setPassword(Hidden);
    switch (kind) {
    case TargetKind::Ntfy:
        url = withQueryValueHidden(url, QStringLiteral("token"));
        break;
    case TargetKind::Gotify: {
        QStringList segments = pathSegments(url);
        if (!segments.isEmpty()) {
            segments.last() = Hidden;
            url.setPath(u'/' + segments.join(u'/'));
        }
        break;
    }
    case TargetKind::Apprise: {
        // Services put their tokens anywhere, even in the host part: only the scheme and the
        // first characters stay.
        const qsizetype start = text.indexOf(QLatin1String("://"));
        const QString rest = start < 0 ? text : text.mid(start + 3);
        return (start < 0 ? QString() : text.left(start + 3)) + rest.left(4) + Hidden;
    }
    default:
        break;
    }
    return url.toString();
}

std::optional<TargetKind> nativeKind(const QString& scheme, bool* secure)
{
    for (const SchemeKind& s : NativeSchemes) {
        if (scheme == QLatin1String(s.plain) || scheme == QLatin1String(s.secure)) {
            *secure = scheme == QLatin1String(s.secure);
            return s.kind;
        }
    }
    return std::nullopt;
}

// What a native target needs beyond a host, as the user is told when it lacks it.
QString nativeShapeError(const ReportTarget& target)
{
    const QStringList segments = pathSegments(target.url);
    switch (target.kind) {
    case TargetKind::Ntfy:
        if (target.url.host().isEmpty())
            return QStringLiteral("トピックがありません");
        if (segments.size() > 1)
            return QStringLiteral("トピックは一つだけにしてください");
        break;
    case TargetKind::Gotify:
        if (target.url.host().isEmpty() || segments.isEmpty())
            return QStringLiteral("ホストとトークンが必要です");
        break;
    case TargetKind::Mail:
        if (target.url.host().isEmpty())
            return QStringLiteral("メールサーバーがありません");
        if (target.option(QStringLiteral("from")).isEmpty() && target.url.userName().isEmpty())
            return QStringLiteral("from= が必要です");
        if (const QString mode = target.option(QStringLiteral("mode")).toLower();
            !mode.isEmpty() && mode != QLatin1String("ssl") && mode != QLatin1String("starttls"))
            return QStringLiteral("mode= は ssl か starttls です");
        break;
    default:
        if (target.url.host().isEmpty())
            return QStringLiteral("ホストがありません");
        break;
    }
    return {};
}

} // namespace

QString ReportTarget::option(const QString& key) const
{
    return queryValue(url, key);
}

QString ReportTarget::masked() const
{
    return maskedUrl(url, kind, text);
}

QString appriseProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("apprise"));
}

std::optional<ReportTarget> parseReportTarget(const QString& text, bool appriseInstalled,
                                              QString* error)
{
    auto fail = [&](const QString& why) -> std::optional<ReportTarget> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QString trimmed = text.trimmed();
    const QUrl url(trimmed, QUrl::StrictMode);
    if (trimmed.isEmpty() || !url.isValid() || url.scheme().isEmpty() ||
        !trimmed.contains(QLatin1String("://")))
        return fail(QStringLiteral("URLではありません"));

    ReportTarget target;
    target.text = trimmed;
    target.url = url;
    if (const std::optional<TargetKind> kind = nativeKind(url.scheme(), &target.secure)) {
        target.kind = *kind;
        if (const QString why = nativeShapeError(target); !why.isEmpty())
            return fail(why);
        return target;
    }
    if (!appriseInstalled)
        return fail(QStringLiteral("%1:// には apprise が必要です (インストールされていません)")
                        .arg(url.scheme()));
    target.kind = TargetKind::Apprise;
    return target;
}

TargetList parseReportTargets(const QStringList& texts, bool appriseInstalled)
{
    TargetList list;
    for (const QString& text : texts) {
        QString why;
        if (std::optional<ReportTarget> target = parseReportTarget(text, appriseInstalled, &why))
            list.usable.append(*target);
        else
            list.problems.append(maskedTargetText(text) + QStringLiteral(": ") + why);
    }
    return list;
}

QStringList splitTargetTexts(const QString& list)
{
    return list.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

QString maskedTargetText(const QString& text)
{
    const QUrl url(text.trimmed());
    bool secure = false;
    const TargetKind kind = nativeKind(url.scheme(), &secure).value_or(TargetKind::Apprise);
    return maskedUrl(url, kind, text.trimmed());
}

} // namespace senrokan
