// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "OdptStandIn.h"

namespace senrokan::test
{

bool OdptStandIn::start()
{
    // As the API writes them: language maps, a title only in dc:title, records of other types.
    const QByteArray operators =
        R"([{"@type": "odpt:Operator", "owl:sameAs": "odpt.Operator:Sakura",
  "dc:title": "さくら", "odpt:operatorTitle": {"ja": "さくら電鉄", "en": "Sakura Railway"}}])";
    const QByteArray railways = R"([
 {"@type": "odpt:Railway", "owl:sameAs": "odpt.Railway:Sakura.Hanamichi",
  "odpt:operator": "odpt.Operator:Sakura", "dc:title": "花道",
  "odpt:railwayTitle": {"en": "Hanamichi Line", "ja": "花道線"}, "odpt:stationOrder": []},
 {"@type": "odpt:Railway", "owl:sameAs": "odpt.Railway:Sakura.Kawabata",
  "odpt:operator": "odpt.Operator:Sakura", "dc:title": "川端線"}])";
    const QByteArray information = QStringLiteral(R"([
 {"@type": "odpt:TrainInformation", "odpt:railway": "odpt.Railway:Sakura.Hanamichi",
  "odpt:trainInformationStatus": {"ja": "運転見合わせ"}, "odpt:trainInformationText": {"ja": "%1"}},
 {"@type": "odpt:TrainInformation", "odpt:railway": "odpt.Railway:Sakura.Kawabata",
  "odpt:trainInformationStatus": {"ja": "平常運転"}}])")
                                       .arg(Reason)
                                       .toUtf8();
    return m_site.put("api/v4/odpt:Operator", operators) &&
           m_site.put("api/v4/odpt:Railway", railways) &&
           m_site.put("api/v4/odpt:TrainInformation", information) &&
           m_site.start(QStringLiteral("location /api/v4/ { default_type application/json; "
                                       "if ($args !~ \"acl:consumerKey=%1\") { return 403; } }")
                            .arg(ConsumerKey));
}

QString OdptStandIn::base() const
{
    return QStringLiteral("http://%1:%2/api/v4/").arg(m_site.host()).arg(m_site.plainPort());
}

QString OdptStandIn::serve(const QString& name, const QByteArray& railways,
                           const QByteArray& operators)
{
    const QByteArray folder = name.toUtf8() + '/';
    if (!m_site.put(folder + "odpt:Railway", railways) ||
        !m_site.put(folder + "odpt:Operator", operators))
        return {};
    return QStringLiteral("http://%1:%2/%3/").arg(m_site.host()).arg(m_site.plainPort()).arg(name);
}

} // namespace senrokan::test
