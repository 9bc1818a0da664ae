// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QFrame>

namespace senrokan
{

class PageTextArea;
class WebViewLoader;

namespace platform
{
class WebViewFactory;
}

// The web view of one route, WebBrowser<r>: empty until the route's button first shows a page
// there, because a browser costs memory that an idle program should not pay. Without a browser
// (the browser plugin missing, or unable to start) it shows the fetched page as plain text.
class RouteWebView : public QFrame
{
    Q_OBJECT
public:
    // Its browser comes from the program's browser plugin.
    explicit RouteWebView(int route, QWidget* parent = nullptr);
    // Its browser comes from loader, which must outlive it.
    RouteWebView(int route, WebViewLoader& loader, QWidget* parent = nullptr);

    // Shows the page at url; pageText is the page as the check read it, for the text view, which
    // shows the address and that text (empty when the check obtained none).
    void navigate(const QString& url, const QString& pageText);

    QString url() const { return m_url; }
    // The view inside, once created.
    QWidget* view() const { return m_view; }

private:
    WebViewLoader& m_loader;
    QWidget* m_view = nullptr;
    // Set when m_view is a browser, m_textView when it is the text view.
    platform::WebViewFactory* m_browser = nullptr;
    PageTextArea* m_textView = nullptr;
    QString m_url;
};

} // namespace senrokan
