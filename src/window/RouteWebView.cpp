// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RouteWebView.h"

#include "PageTextArea.h"
#include "WebViewLoader.h"
#include "accessibility/ControlNames.h"
#include "platform/WebViewFactory.h"

#include <QUrl>
#include <QVBoxLayout>

namespace senrokan
{

namespace
{

// The text view names the page it stands for, so an empty view after a check that stopped early
// is not taken for a blank page, nor an earlier page for this one.
QString textViewText(const QString& url, const QString& pageText)
{
    return pageText.isEmpty() ? url : url + QStringLiteral("\n\n") + pageText;
}

} // namespace

RouteWebView::RouteWebView(int route, QWidget* parent)
    : RouteWebView(route, WebViewLoader::program(), parent)
{
}

RouteWebView::RouteWebView(int route, WebViewLoader& loader, QWidget* parent)
    : QFrame(parent), m_loader(loader)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    nameControl(this, QStringLiteral("WebBrowser%1").arg(route), QStringLiteral("Webページ"));
}

void RouteWebView::navigate(const QString& url, const QString& pageText)
{
    m_url = url;
    if (!m_view) {
        m_browser = m_loader.factory();
        if (m_browser) {
            m_view = m_browser->createView(this);
        } else {
            // The page-text area's own view: a long one-line page must not freeze it either.
            m_textView = new PageTextArea(this);
            m_view = m_textView;
        }
        layout()->addWidget(m_view);
    }
    if (m_browser)
        m_browser->navigate(m_view, QUrl(url));
    else
        m_textView->showText(textViewText(url, pageText));
}

} // namespace senrokan
