// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "EngineViewFactory.h"

#include <QWebEngineView>

namespace senrokan::platform
{

QWidget* EngineViewFactory::createView(QWidget* parent)
{
    return new QWebEngineView(parent);
}

void EngineViewFactory::navigate(QWidget* view, const QUrl& url)
{
    if (auto* engineView = qobject_cast<QWebEngineView*>(view))
        engineView->setUrl(url);
}

QString EngineViewFactory::title(QWidget* view) const
{
    const auto* engineView = qobject_cast<const QWebEngineView*>(view);
    return engineView ? engineView->title() : QString();
}

} // namespace senrokan::platform
