// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Telling.h"

#include "route/StatusWords.h"

#include <QRegularExpression>

namespace senrokan
{

namespace
{

QString halfWidthDigits(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out)
        if (c >= u'０' && c <= u'９')
            c = QChar(u'0' + (c.unicode() - u'０'));
    return out;
}

} // namespace

std::optional<int> statedMinutes(QStringView reason)
{
    // Hours with their minutes, or minutes that follow neither a digit nor 時 (8時30分 is a time
    // of day) and lead to no headway.
    static const QRegularExpression amount(QStringLiteral(
        R"((\d+)\s*時間(?:\s*(\d+)\s*分)?|(?<![\d時])(\d+)\s*分(?!\s*(?:間隔|おき|毎|ごと)))"));
    std::optional<int> most;
    QRegularExpressionMatchIterator it = amount.globalMatch(halfWidthDigits(reason));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const int minutes = m.hasCaptured(1) ? m.captured(1).toInt() * 60 + m.captured(2).toInt()
                                             : m.captured(3).toInt();
        most = qMax(most.value_or(0), minutes);
    }
    return most;
}

bool isQuiet(const RouteOptions& options, const QDateTime& time)
{
    return options.quietUntil.isValid() && time.isValid() && time < options.quietUntil;
}

RouteTelling verdictTelling(int status, const QString& reason, const RouteOptions& options,
                            const QDateTime& time)
{
    if (isQuiet(options, time))
        return {false, QuietTodayWhy, true};
    if (status != StatusDelayed || reason.isEmpty() || namesSuspension(reason))
        return {};
    if (options.suspensionsOnly)
        return {false, SuspensionsOnlyWhy};
    if (const std::optional<int> minutes = statedMinutes(reason);
        minutes && *minutes < options.minDelay)
        return {false, QStringLiteral("%1分未満").arg(options.minDelay)};
    return {};
}

RoundTelling roundTelling(const RouteStates& states, const RouteOptionsTable& options,
                          const std::optional<PerRoute<Confirmation>>& confirmations)
{
    RoundTelling telling;
    for (int r = 1; r <= RouteCount; ++r) {
        const RouteState& state = states[r];
        if (state.Status == StatusOutOfHours) {
            telling[r] = {false,
                          state.Reason.isEmpty() ? statusWord(StatusOutOfHours) : state.Reason};
            continue;
        }
        telling[r] = verdictTelling(state.Status, state.Reason, options[r],
                                    QDateTime::fromString(state.CheckTime, Qt::ISODate));
        if (telling[r].told && state.Status == StatusDelayed && confirmations &&
            !(*confirmations)[r].confirmed)
            telling[r] = {false, UnconfirmedWhy};
    }
    return telling;
}

RouteStates toldOnly(RouteStates states, const RoundTelling& telling)
{
    for (int r = 1; r <= RouteCount; ++r)
        if (!telling[r].told)
            states[r].Status = StatusNone;
    return states;
}

PerRoute<bool> withoutQuiet(PerRoute<bool> noticed, const RoundTelling& telling)
{
    for (int r = 1; r <= RouteCount; ++r)
        noticed[r] = noticed[r] && !telling[r].quiet;
    return noticed;
}

} // namespace senrokan
