// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// Status pages written by scripts, as a browser must read them: the normal-service word shown
// only once a script has run (a timer's included), and the word in the bytes but never shown or
// shown only until a timer replaces it.
#include "NginxSite.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace senrokan::test
{

// The word the pages show when service is normal.
inline const QString NormalWord = QStringLiteral("平常運転");

// What a reading of the page as the browser shows it must find.
enum class Reading {
    Normal,  // the word is in the rendered text
    Delayed, // the rendered text lacks the word, whatever the bytes hold
    Failed,  // no text: the page's scripts never yield
};

struct ScriptPage {
    const char* name;
    QByteArray path; // under the base address of serveScriptPages()
    QByteArray bytes;
    Reading reading;
};

const QList<ScriptPage>& scriptPages();

// Puts the pages and their feeds on the site and starts it; returns the pages' base address on
// its plain HTTP server ("http://host:port/render/"), or an empty string with site.error() set.
QString serveScriptPages(NginxSite& site);

} // namespace senrokan::test
