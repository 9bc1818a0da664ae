// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "platform/PluginLoader.h"

#include <QByteArray>
#include <QString>

namespace senrokan
{

namespace platform
{
class WebViewFactory;
}

// Finds the browser plugin for the routes' web views. Nothing is loaded until a view first asks,
// so the idle program never maps the browser's libraries.
class WebViewLoader
{
public:
    explicit WebViewLoader(const QString& pluginFile);
    WebViewLoader(const WebViewLoader&) = delete;
    WebViewLoader& operator=(const WebViewLoader&) = delete;

    // The program's one loader, of the plugin beside the executable, shared by the five routes.
    static WebViewLoader& program();

    // The browser maker, or null when there is none to use: the plugin is missing or does not
    // load, or the browser could not start for the user (told once on stderr). Loads the plugin
    // on the first call.
    platform::WebViewFactory* factory();

    bool pluginLoaded() const { return m_plugin.loaded(); }

    // Where a program in programDir finds its browser plugin.
    static QString programPluginFile(const QString& programDir);

    // Why the browser must not be started, or empty when it may. Its sandbox refuses to run as
    // root, and switching the sandbox off is for the user to choose, never the program:
    // disableSandbox is whether QTWEBENGINE_DISABLE_SANDBOX is set, chromiumFlags the value of
    // QTWEBENGINE_CHROMIUM_FLAGS.
    static QString refusal(bool root, bool disableSandbox, const QByteArray& chromiumFlags);

private:
    // The plugin's one object holds no state, so it lives as long as the library.
    platform::PluginLoader m_plugin;
};

} // namespace senrokan
