// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "PageReader.h"

#include "render/ReaderProtocol.h"

#include <QSslCertificate>
#include <QSslError>
#include <QWebEngineCertificateError>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace senrokan::render
{

namespace
{

// How often a loaded page is asked whether it has been quiet long enough.
constexpr int SampleMs = 100;

// A page that has not answered a sample for this long is busy in its scripts: at the limit its
// last text is not taken.
constexpr qint64 AliveMs = 3 * SampleMs;

// The page's own requests are fetch() and XMLHttpRequest; a request counts from its start to its
// answer, and its end starts the quiet count again, since the script writes what it brought just
// after. A request for an address the page has asked before is a poll: it neither holds the
// reading nor restarts the count, or a page that polls every few hundred milliseconds would
// never be quiet; what a poll brings still counts when it changes the text.
//
// A page may also write its status from a timer: shortly after its data came, or over a
// last-known state it showed first. As a browser's virtual time budget does, a pending timeout
// holds the reading when it is due within the page's first three seconds, counted only while no
// request is in flight (waiting for data does not use the budget up); its callback's end starts
// the quiet count again. A later timer, an interval (a clock, a poll) or a chain of timeouts past
// the budget never holds a reading for long.
//
// The text is body.innerText and that of every open shadow root (innerText does not enter
// them). A shadow root has no innerText, so its rendered element children give theirs; a hidden
// child's innerText would be its raw text, so those are left out, as are the roots of hosts
// that are not shown.
const char* const WatchScript = R"js(
(() => {
  if (window.__senrokanRender)
    return;
  let pending = 0;
  let last = null;
  let changedAt = performance.now();
  const budgetMs = 3000;
  const origin = performance.now();
  let busySince = 0;
  let busyMs = 0; // time with requests in flight, which does not count against the budget
  const pageTime = () =>
      performance.now() - origin - busyMs - (pending > 0 ? performance.now() - busySince : 0);
  const asked = new Set();
  const begin = (address) => {
    let key = '';
    try { key = new URL(String(address), location.href).href; } catch (e) { key = String(address); }
    if (asked.has(key))
      return () => {};
    asked.add(key);
    if (pending++ === 0)
      busySince = performance.now();
    let ended = false;
    return () => {
      if (ended)
        return;
      ended = true;
      if (--pending === 0)
        busyMs += performance.now() - busySince;
      changedAt = performance.now();
    };
  };
  const timers = new Set();
  const setTimeout = window.setTimeout;
  const clearTimeout = window.clearTimeout;
  const clearInterval = window.clearInterval;
  window.setTimeout = function (callback, delay, ...rest) {
    if (typeof callback !== 'function' || pageTime() + Math.max(0, Number(delay) || 0) > budgetMs)
      return setTimeout.apply(window, arguments);
    const id = setTimeout.call(window, function () {
      timers.delete(id);
      try {
        return callback.apply(this, arguments);
      } finally {
        changedAt = performance.now();
      }
    }, delay, ...rest);
    timers.add(id);
    return id;
  };
  // Timeouts and intervals share their ids, so either call may cancel a timeout.
  window.clearTimeout = function (id) {
    timers.delete(id);
    return clearTimeout.call(window, id);
  };
  window.clearInterval = function (id) {
    timers.delete(id);
    return clearInterval.call(window, id);
  };
  const fetch = window.fetch;
  window.fetch = function (input, init) {
    const end = begin(input instanceof Request ? input.url : input);
    const answer = fetch.call(window, input, init);
    // The answer comes with the headers; the request ends with the last byte of its body, read
    // here from a copy, since the page reads its own whenever it likes.
    answer.then((response) => response.clone().arrayBuffer().then(end, end), end);
    return answer;
  };
  const addresses = new WeakMap();
  const open = XMLHttpRequest.prototype.open;
  const send = XMLHttpRequest.prototype.send;
  XMLHttpRequest.prototype.open = function (method, address) {
    addresses.set(this, address);
    return open.apply(this, arguments);
  };
  XMLHttpRequest.prototype.send = function () {
    const end = begin(addresses.get(this));
    this.addEventListener('loadend', end);
    try {
      return send.apply(this, arguments);
    } catch (e) {
      end();
      throw e;
    }
  };
  const shown = (element) => element.getClientRects().length > 0 ||
      getComputedStyle(element).display === 'contents';
  const addShadowText = (root, parts) => {
    for (const host of root.querySelectorAll('*')) {
      const shadow = host.shadowRoot;
      if (!shadow || !shown(host))
        continue;
      for (const child of shadow.children) {
        if (shown(child))
          parts.push(child.innerText);
      }
      addShadowText(shadow, parts);
    }
  };
  const read = () => {
    if (!document.body)
      return '';
    const parts = [document.body.innerText];
    addShadowText(document, parts);
    return parts.join('\n');
  };
  Object.defineProperty(window, '__senrokanRender', { value: Object.freeze({
    sample(quietMs) {
      const text = read();
      const now = performance.now();
      if (text !== last) {
        last = text;
        changedAt = now;
      }
      return [pending === 0 && timers.size === 0 && now - changedAt >= quietMs, text];
    }
  }) });
})();
)js";

// Whether the chain the engine would not accept is one the program trusts all the same: the
// engine knows only the system's store, the program also SSL_CERT_FILE's certificates.
bool trustedByProgram(const QList<QSslCertificate>& chain, const QString& host)
{
    return !chain.isEmpty() && QSslCertificate::verify(chain, host).isEmpty();
}

} // namespace

QString PageReader::watchScript()
{
    return QString::fromUtf8(WatchScript);
}

PageReader::PageReader(QWebEngineProfile* profile, qint64 id, const QUrl& url, ReadingTimes times)
    : m_id(id), m_times(times)
{
    m_clock.start();
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        // Answered once the caller has connected to answered().
        QTimer::singleShot(0, this, [this] { fail(0, QStringLiteral("refused scheme")); });
        return;
    }
    m_https = scheme == QLatin1String("https");
    m_page = new QWebEnginePage(profile, this);
    // A page without a view counts as hidden: Chromium holds back its timers to once a second
    // and runs no animation frames at all. Shown before its first load, the page stays hidden;
    // shown once the load has begun, it runs as in a visible tab.
    connect(m_page, &QWebEnginePage::loadStarted, m_page, [this] { m_page->setVisible(true); });
    connect(m_page, &QWebEnginePage::loadingChanged, this, &PageReader::loadingChanged);
    connect(m_page, &QWebEnginePage::certificateError, this, &PageReader::certificateError);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this] { fail(m_status, QStringLiteral("the page's process ended")); });
    m_sampler.setInterval(SampleMs);
    connect(&m_sampler, &QTimer::timeout, this, &PageReader::sample);
    m_limit.setSingleShot(true);
    m_limit.setTimerType(Qt::PreciseTimer); // a coarse one may end the reading early
    connect(&m_limit, &QTimer::timeout, this, &PageReader::limitReached);
    m_limit.start(m_times.limitMs);
    m_page->load(url);
}

PageReader::~PageReader()
{
    // Before the members go: the page answers its pending scripts as it is deleted.
    delete m_page;
}

void PageReader::loadingChanged(const QWebEngineLoadingInfo& info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
        return;
    // The engine names the main document's HTTP status in this domain, for a success as well.
    if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain)
        m_status = info.errorCode();
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
        // Redirects as for HTTPS routes: never down from https to plain http.
        if (m_https && m_page->url().scheme() != QLatin1String("https")) {
            fail(0, QStringLiteral("refused redirect to %1").arg(m_page->url().scheme()));
            return;
        }
        m_loaded = true;
        if (m_status == 0)
            m_status = 200; // the engine did not say; the page loaded
    } else if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        // An HTTP error with a page of its own: what matters is the status, not the text.
        fail(m_status, QStringLiteral("HTTP %1").arg(m_status));
        return;
    } else {
        fail(0, m_tlsRefusal.isEmpty() ? info.errorString() : m_tlsRefusal);
        return;
    }
    if (!m_sampler.isActive()) {
        sample();
        m_sampler.start();
    }
}

void PageReader::certificateError(const QWebEngineCertificateError& error)
{
    QWebEngineCertificateError decision = error;
    if (trustedByProgram(error.certificateChain(), error.url().host())) {
        decision.acceptCertificate();
        return;
    }
    m_tlsRefusal = QStringLiteral("TLSエラー: ") + error.description();
    decision.rejectCertificate();
}

void PageReader::sample()
{
    if (m_sampling || m_done)
        return;
    m_sampling = true;
    const QString call =
        QStringLiteral("window.__senrokanRender ? window.__senrokanRender.sample(%1) : null")
            .arg(m_times.quietMs);
    m_page->runJavaScript(call, 0, [this](const QVariant& result) {
        m_sampling = false;
        const QVariantList answer = result.toList();
        if (answer.size() != 2)
            return;
        m_lastSampleAt = m_clock.elapsed();
        m_lastText = answer.at(1).toString();
        if (answer.at(0).toBool())
            succeed(m_lastText, true);
    });
}

void PageReader::limitReached()
{
    // A loaded page that still answers has its text taken as it is now; one that never loaded or
    // whose scripts no longer yield has none.
    if (m_loaded && m_lastSampleAt >= 0 && m_clock.elapsed() - m_lastSampleAt <= AliveMs)
        succeed(m_lastText, false);
    else
        fail(m_status, protocol::LimitDetail);
}

void PageReader::succeed(const QString& text, bool quiet)
{
    QJsonObject answer{{protocol::Ok, true}, {protocol::Status, m_status}, {protocol::Text, text}};
    if (!quiet)
        answer.insert(protocol::Quiet, false);
    finish(answer);
}

void PageReader::fail(int status, const QString& detail)
{
    finish({{protocol::Ok, false}, {protocol::Status, status}, {protocol::Detail, detail}});
}

void PageReader::finish(QJsonObject answer)
{
    if (m_done)
        return;
    m_done = true;
    m_sampler.stop();
    m_limit.stop();
    answer.insert(protocol::Id, m_id);
    answer.insert(protocol::Ms, m_clock.elapsed());
    Q_EMIT answered(answer);
    deleteLater();
}

} // namespace senrokan::render
