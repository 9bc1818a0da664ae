#include "RouteWebView.h"

#include "accessibility/ControlNames.h"

#include <QTextBrowser>
#include <QVBoxLayout>

namespace senrokan
{

RouteWebView::RouteWebView(int route, QWidget* parent) : QFrame(parent)
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
        m_textView = new QTextBrowser(this);
        m_textView->setOpenLinks(false);
        m_view = m_textView;
        layout()->addWidget(m_view);
    }
    if (m_textView)
        m_textView->setPlainText(pageText);
}

} // namespace senrokan
