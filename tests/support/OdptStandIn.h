// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "NginxSite.h"

#include <QString>

namespace senrokan::test
{

// A loopback stand-in of the ODPT API, served by nginx: the operator and railway lists and the
// train information of a made-up operator no shipped list knows (さくら電鉄, lines 花道線 and
// 川端線, 花道線 stopped), each refused with 403 unless the request carries ConsumerKey.
class OdptStandIn
{
public:
    static inline const QString ConsumerKey = QStringLiteral("STANDINKEY42");
    static inline const QString Reason =
        QStringLiteral("踏切事故の影響で、運転を見合わせています。");

    // false with error() set when nginx does not come up.
    bool start();
    QString error() const { return m_site.error(); }
    // Where Senrokan.ini's Base= points for it: "http://host:port/api/v4/".
    QString base() const;
    // The Base= of another API on the same server, under name/, that answers its lists with
    // railways and operators to anyone; it has no train information.
    QString serve(const QString& name, const QByteArray& railways,
                  const QByteArray& operators = "[]");

private:
    NginxSite m_site{QStringLiteral("127.0.5.20")};
};

} // namespace senrokan::test
