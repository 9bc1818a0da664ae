// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "platform/WebViewFactory.h"

#include <QObject>

namespace senrokan::platform
{

// Browsers of Qt WebEngine, each with the default profile, so the five routes share one
// browser process and its cache.
class EngineViewFactory : public QObject, public WebViewFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SENROKAN_WEBVIEWFACTORY_IID)
    Q_INTERFACES(senrokan::platform::WebViewFactory)
public:
    QWidget* createView(QWidget* parent) override;
    void navigate(QWidget* view, const QUrl& url) override;
    QString title(QWidget* view) const override;
};

} // namespace senrokan::platform
