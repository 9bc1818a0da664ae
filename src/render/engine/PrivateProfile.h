// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QWebEngineUrlRequestInterceptor>

class QWebEngineProfile;

namespace senrokan::render
{

// Lets a page reach the network and its own in-memory data only: http and https, and data: and
// blob: for what its scripts make; file: and every other local scheme are refused.
class SchemeGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

// The profile the pages are read in: off the record, so nothing is written and nothing is kept
// after the reading; no downloads, pop-ups, plug-ins or PDF viewer; only the schemes SchemeGuard
// lets through; the page watch script in every main frame.
QWebEngineProfile* makePrivateProfile(QObject* parent);

} // namespace senrokan::render
