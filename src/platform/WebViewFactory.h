// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class QWidget;

namespace senrokan::platform
{

// Makes and drives a route's browser. The one implementation needs Qt WebEngine, which the
// program does not link because merely mapping it costs the idle program memory; it is a plugin
// loaded the first time a route shows a page.
class WebViewFactory
{
public:
    virtual ~WebViewFactory() = default;

    // A new browser, owned by parent.
    virtual QWidget* createView(QWidget* parent) = 0;
    // Starts loading url in a view made by createView and returns at once.
    virtual void navigate(QWidget* view, const QUrl& url) = 0;
    // The title of the page the view shows, as the browser reports it.
    virtual QString title(QWidget* view) const = 0;
};

} // namespace senrokan::platform

#define SENROKAN_WEBVIEWFACTORY_IID "org.senrokan.WebViewFactory/1.0"
Q_DECLARE_INTERFACE(senrokan::platform::WebViewFactory, SENROKAN_WEBVIEWFACTORY_IID)
