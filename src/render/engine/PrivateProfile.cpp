// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "PrivateProfile.h"

#include "PageReader.h"

#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace senrokan::render
{

void SchemeGuard::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    static const QStringList allowed{QStringLiteral("http"), QStringLiteral("https"),
                                     QStringLiteral("data"), QStringLiteral("blob")};
    info.block(!allowed.contains(info.requestUrl().scheme()));
}

QWebEngineProfile* makePrivateProfile(QObject* parent)
{
    // A profile without a storage name is off the record: cache and cookies live in memory.
    auto* profile = new QWebEngineProfile(parent);
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile->setUrlRequestInterceptor(new SchemeGuard(profile));
    QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile,
                     [](QWebEngineDownloadRequest* download) { download->cancel(); });

    QWebEngineSettings* settings = profile->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    settings->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);

    QWebEngineScript watch;
    watch.setName(QStringLiteral("senrokan-watch"));
    watch.setSourceCode(PageReader::watchScript());
    watch.setInjectionPoint(QWebEngineScript::DocumentCreation);
    watch.setWorldId(QWebEngineScript::MainWorld);
    watch.setRunsOnSubFrames(false);
    profile->scripts()->insert(watch);
    return profile;
}

} // namespace senrokan::render
