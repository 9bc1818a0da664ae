#include "DeclaredCoding.h"

namespace senrokan
{

QString findDeclaredCoding(QStringView text)
{
    static const QString marker = QStringLiteral("charset=");
    const qsizetype p = text.indexOf(marker);
    if (p < 0)
        return {};
    const qsizetype q = text.indexOf(QLatin1Char('"'), p);
    if (q < 0)
        return {};
    QStringView decl = text.mid(p + marker.size(), q - p - marker.size());
    while (!decl.isEmpty() && decl.front() == QLatin1Char(' '))
        decl = decl.mid(1);
    while (!decl.isEmpty() && decl.back() == QLatin1Char(' '))
        decl.chop(1);
    return decl.toString();
}

PageCoding classifyDeclaration(QStringView d)
{
    using namespace Qt::StringLiterals;
    if (d == u"shift_jis"_s || d == u"SHIFT_JIS"_s)
        return PageCoding::ShiftJis;
    if (d == u"utf-8"_s || d == u"UTF-8"_s)
        return PageCoding::Utf8;
    if (d == u"euc-jp"_s || d == u"EUC-JP"_s)
        return PageCoding::EucJp;
    if (d == u"iso-2022-jp"_s || d == u"ISO-2022-JP"_s)
        return PageCoding::Iso2022Jp;
    return PageCoding::NotRecognised;
}

} // namespace senrokan
