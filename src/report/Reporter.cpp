// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Reporter.h"

#include "route/RouteAddress.h"
#include "route/RouteDefinition.h"
#include "settings/CompanionFile.h"
#include "settings/SettingsFile.h"

#include <QRegularExpression>

namespace senrokan
{

namespace
{

const QString Section = QStringLiteral("Notify");
const QString Key = QStringLiteral("Targets");

} // namespace

Reporter::Reporter(const QString& dir, QObject* parent)
    : QObject(parent), m_path(joinToDirectory(dir, CompanionFileName)), m_sender(this)
{
    m_seen.fill(StatusNone);
}

std::optional<QStringList> Reporter::targetTexts(QString* error) const
{
    const std::optional<CompanionFile> file = CompanionFile::read(m_path);
    if (!file) {
        if (error)
            *error = CompanionFile::unreadableText(m_path);
        return std::nullopt;
    }
    return file->value(Section, Key)
        .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

bool Reporter::saveTargets(const QStringList& texts, QString* error)
{
    *error = CompanionFile::saveValue(m_path, Section, Key, texts.join(u' '));
    return error->isEmpty();
}

QString Reporter::addTarget(const QString& text)
{
    QString error;
    if (!parseReportTarget(text, !appriseProgram().isEmpty(), &error))
        return error;
    std::optional<QStringList> texts = targetTexts(&error);
    if (!texts)
        return error;
    texts->append(text.trimmed());
    saveTargets(*texts, &error);
    return error;
}

QString Reporter::removeTarget(int index)
{
    QString error;
    std::optional<QStringList> texts = targetTexts(&error);
    if (!texts)
        return error;
    if (index < 0 || index >= texts->size())
        return QStringLiteral("その通知先はもうありません");
    texts->removeAt(index);
    saveTargets(*texts, &error);
    return error;
}

QList<ReportTarget> Reporter::targets(const QStringList& extra)
{
    QString error;
    QStringList texts = targetTexts(&error).value_or(QStringList());
    if (!error.isEmpty())
        Q_EMIT problem(error);
    texts += extra;
    QStringList errors;
    const QList<ReportTarget> parsed =
        parseReportTargets(texts.join(u' '), !appriseProgram().isEmpty(), &errors);
    for (const QString& e : errors)
        Q_EMIT problem(e);
    for (const ReportTarget& target : parsed)
        if (const QString warning = target.warning(); !warning.isEmpty())
            Q_EMIT problem(warning);
    return parsed;
}

bool Reporter::reportChanges(const RouteStates& states, const RouteFieldSource& routes,
                             const QDateTime& checkTime, const std::optional<LineStates>& recorded,
                             const QStringList& extra)
{
    const LineStates previous = recorded.value_or(m_seen);
    std::array<QString, 7> pages;
    for (int r = 1; r <= RouteCount; ++r) {
        pages[r] =
            webViewAddress(routes.routeField(r, ServerName), routes.routeField(r, DirectoryName));
        if (isLineState(states[r].Status))
            m_seen[r] = states[r].Status;
    }
    const std::optional<ChangeReport> report = changeReport(states, previous, pages, checkTime);
    if (!report)
        return false;
    const QList<ReportTarget> to = targets(extra);
    m_sender.send(to, *report);
    return true;
}

void Reporter::sendTest()
{
    m_sender.send(targets({}), testReport(QDateTime::currentDateTime()));
}

} // namespace senrokan
