// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace senrokan
{

enum class PageCoding { ShiftJis, Utf8, EucJp, Iso2022Jp, Utf16Le, Utf16Be };

// What settled a page's coding, in the order a browser looks: a byte-order mark, the
// Content-Type header's charset, a <meta> declaration, an XML declaration, a JSON reply, the
// detector, or nothing (Shift_JIS, the code page the socket text is read in).
enum class CodingSource { Bom, Header, Meta, Xml, Json, Detected, Default };

struct CodingDecision {
    PageCoding coding = PageCoding::ShiftJis;
    CodingSource source = CodingSource::Default;
    QByteArray label;  // the declaration as written (header, meta, XML); empty otherwise
    bool json = false; // a JSON reply: its text is searched with string escapes decoded
};

// The coding of a page from its body and the value of its Content-Type header (repeated headers
// joined by commas, as HTTP combines them and Qt reports them). Declarations are
// matched by the Encoding Standard's labels; a declaration of a coding other than the four
// Japanese ones (and UTF-16 by mark) leaves the choice to the detector. Linear in the body's
// size; the meta prescan covers the whole body.
CodingDecision decidePageCoding(QByteArrayView body, QByteArrayView contentType);

// The same for a reply as it came over the socket: status line, header lines, a blank line and
// the body. Only the header lines before the blank line are read as headers.
CodingDecision decideReplyCoding(QByteArrayView reply);

QString codingName(PageCoding coding);
// What a check shows first in the page-text area: the label as written, or the coding's name
// when a mark, a JSON reply or the detector settled it; empty when nothing did.
QString shownDeclaration(const CodingDecision& decision);
// "meta": what settled a coding, as --verbose and the record name it.
QString codingSourceName(CodingSource source);
// "UTF-8 (meta)": the coding and what settled it.
QString describeCoding(const CodingDecision& decision);

} // namespace senrokan
