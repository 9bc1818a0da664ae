// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "WebViewLoader.h"

#include "platform/EngineSandbox.h"
#include "platform/WebViewFactory.h"

#include <QCoreApplication>
#include <QOpenGLContext>

#include <cstdio>

// Qt's own hooks for the context that Qt::AA_ShareOpenGLContexts makes, which Qt WebEngine uses.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
QT_END_NAMESPACE

namespace senrokan
{

namespace
{

void releaseShareContext()
{
    QOpenGLContext* context = qt_gl_global_share_context();
    qt_gl_set_global_share_context(nullptr);
    delete context;
}

// What QApplication does at start when Qt::AA_ShareOpenGLContexts is set, done only before the
// first browser: at start it would map the OpenGL driver, tens of megabytes, into a program that
// may never show a page. Qt WebEngine needs the context before its library is loaded.
bool shareOpenGLContexts()
{
    if (qt_gl_global_share_context())
        return true;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    auto* context = new QOpenGLContext;
    if (!context->create()) {
        delete context;
        return false;
    }
    qt_gl_set_global_share_context(context);
    qAddPostRoutine(releaseShareContext);
    return true;
}

} // namespace

WebViewLoader::WebViewLoader(const QString& pluginFile) : m_plugin(pluginFile) {}

WebViewLoader& WebViewLoader::program()
{
    static WebViewLoader loader(programPluginFile(QCoreApplication::applicationDirPath()));
    return loader;
}

platform::WebViewFactory* WebViewLoader::factory()
{
    // A program built without the browser has no plugin and nothing to tell.
    if (m_plugin.firstTry() && m_plugin.exists()) {
        const QString why = refusal(platform::runningAsRoot(),
                                    qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"),
                                    qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"));
        if (!why.isEmpty())
            std::fprintf(stderr, "senrokan: %s\n", qPrintable(why));
        // Read without loading, so that a broken file costs no OpenGL context.
        else if (!m_plugin.readable())
            std::fprintf(stderr, "senrokan: the web views show pages as text: %s\n",
                         qPrintable(m_plugin.errorString()));
        else if (!shareOpenGLContexts())
            std::fprintf(stderr, "senrokan: the web views show pages as text: the browser needs "
                                 "OpenGL, which is not available\n");
        else if (!m_plugin.load())
            std::fprintf(stderr, "senrokan: the web views show pages as text: %s\n",
                         qPrintable(m_plugin.errorString()));
    }
    return qobject_cast<platform::WebViewFactory*>(m_plugin.object());
}

QString WebViewLoader::programPluginFile(const QString& programDir)
{
    return platform::PluginLoader::programFile(programDir,
                                               QStringLiteral(SENROKAN_WEBVIEW_PLUGIN_FILE));
}

QString WebViewLoader::refusal(bool root, bool disableSandbox, const QByteArray& chromiumFlags)
{
    if (platform::engineSandboxAllows(root, disableSandbox, chromiumFlags))
        return {};
    return QStringLiteral("running as root, the web views show pages as text: the browser's "
                          "sandbox does not run as root; set QTWEBENGINE_DISABLE_SANDBOX=1 to "
                          "use the browser without it");
}

} // namespace senrokan
