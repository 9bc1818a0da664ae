#pragma once

#include <QFrame>

class QTextBrowser;

namespace senrokan
{

// The web view of one route, WebBrowser<r>: empty until the route's button first shows a page
// there, because a browser costs memory that an idle program should not pay. Without a browser
// it shows the fetched page as plain text.
class RouteWebView : public QFrame
{
    Q_OBJECT
public:
    explicit RouteWebView(int route, QWidget* parent = nullptr);

    // Shows the page at url; pageText is the page as the check read it, for the text view.
    void navigate(const QString& url, const QString& pageText);

    QString url() const { return m_url; }
    // The view inside, once created.
    QWidget* view() const { return m_view; }

private:
    QWidget* m_view = nullptr;
    QTextBrowser* m_textView = nullptr;
    QString m_url;
};

} // namespace senrokan
