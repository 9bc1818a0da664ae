// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RouteChecker.h"

#include "StatusDecision.h"
#include "base/Failure.h"
#include "calendar/CheckDays.h"
#include "codec/Converter.h"
#include "codec/Kconv.h"
#include "codec/PageCoding.h"
#include "feed/FeedTexts.h"
#include "feed/OfficialFeed.h"
#include "platform/MemoryTuning.h"
#include "route/MaskedUrl.h"
#include "route/Reason.h"
#include "route/RouteAddress.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace senrokan
{

namespace
{

const QString TitleMessage = QStringLiteral("メッセージ");
const QString TitleRouteInfo = QStringLiteral("運行情報");
const QString TextConnecting = QStringLiteral("接続中");
const QString TextConnected = QStringLiteral("接続しました");
const QString TextRequesting = QStringLiteral("HTTPサーバに接続");
const QString TextFailed = QStringLiteral("接続失敗");
const QString TextNoServer = QStringLiteral("サーバ未設定");
const QString TextDelayed = QStringLiteral("遅延");
const QString NotFoundPage = QStringLiteral("ページが見つかりません");
const QString TextOutOfHours = QStringLiteral("時間外です。");
const QString TextFeedScheme = QStringLiteral("フィードは http:// か https:// のアドレスです");
const QString TextFeedNoHost = QStringLiteral("フィードのアドレスにホスト名がありません");

// The socket's read buffer: bounds memory however fast a server sends.
constexpr qint64 SocketReadBuffer = 1024 * 1024;

} // namespace

RouteChecker::RouteChecker(const RouteFieldSource& fields, CheckDisplay& display, QObject* parent)
    : QObject(parent), m_fields(fields), m_display(display),
      m_replyDecoder(std::make_unique<Converter>(coding::Cp932))
{
    m_socket.setReadBufferSize(SocketReadBuffer);
    connect(&m_socket, &QTcpSocket::connected, this, &RouteChecker::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &RouteChecker::onReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &RouteChecker::onError);
}

RouteChecker::~RouteChecker() = default;

void RouteChecker::PollRoute(int route, int retry)
{
    if (!isRunning())
        runCheck(route, retry, Reporting::Timed);
}

void RouteChecker::CheckRoute(int route, int mode)
{
    if (!isRunning())
        runCheck(route, mode, Reporting::Interactive);
}

void RouteChecker::cancel()
{
    if (!isRunning())
        return;
    m_cancelled = true;
    m_fetcher.abort();
    m_renderer.abort();
    if (m_waitLoop)
        m_waitLoop->quit();
}

void RouteChecker::closeSocket()
{
    m_socket.abort();
}

std::optional<CheckRecord> RouteChecker::lastCheck(CheckSource source) const
{
    std::optional<CheckRecord> record = m_lastCheck;
    if (record)
        record->source = source;
    return record;
}

void RouteChecker::runCheck(int route, int retry, Reporting how)
{
    // The delay-directory retry is part of the same check.
    if (m_depth == 0) {
        m_lastCheck.reset();
        m_pageCoding.reset();
        m_rendered = false;
        m_feedRead = false;
        m_verdict = false;
        m_checkTimer.start();
    }
    ++m_depth;
    if (how == Reporting::Interactive)
        m_display.setBusy(true);
    try {
        runSteps(route, retry, how);
    } catch (const Failure& failure) {
        // Whatever failed, the route keeps the status of its previous check.
        if (how == Reporting::Interactive && !m_cancelled)
            m_display.showMessage(failure.description(), TitleMessage);
        m_socket.abort();
    }
    m_replyRaw = QByteArray(); // a reply can be as large as the cap: not kept between checks
    if (how == Reporting::Interactive)
        m_display.setBusy(false);
    if (--m_depth == 0) {
        if (m_verdict && !m_cancelled) {
            // A page the browser read has no coding of ours, only that source.
            QString coding;
            QString codingSource;
            if (m_feedRead) {
                codingSource = QStringLiteral("feed");
            } else if (m_rendered) {
                codingSource = QStringLiteral("browser");
            } else if (m_pageCoding) {
                coding = codingName(m_pageCoding->coding);
                codingSource = codingSourceName(m_pageCoding->source);
            }
            m_lastCheck = CheckRecord{m_clock().toUTC(),
                                      route,
                                      m_fields.routeField(route, Title),
                                      m_states[route].Status,
                                      CheckSource::Timed,
                                      coding,
                                      codingSource,
                                      int(m_checkTimer.elapsed()),
                                      m_states[route].Reason};
        }
        m_cancelled = false;
        if (!m_renderBatch)
            m_renderer.finish();
    }
}

void RouteChecker::beginRendering(int route)
{
    m_renderBatch = true;
    QList<QUrl> pages;
    for (int r = 1; r <= RouteCount; ++r) {
        const RouteDefinition def = m_fields.routeDefinition(r);
        if ((route == 0 || route == r) && m_options[r].render && !def[ServerName].isEmpty())
            pages << renderedPageUrl(def[ServerName], def[DirectoryName], m_timings.port);
    }
    m_renderer.prefetch(pages);
}

void RouteChecker::endRendering()
{
    m_renderBatch = false;
    m_renderer.finish();
}

void RouteChecker::runSteps(int route, int retry, Reporting how)
{
    m_pageObtained = false;
    m_socket.abort();
    if (!isRouteIndex(route))
        return;
    RouteState& state = m_states[route];
    state.CheckTime.clear();

    const RouteDefinition def = m_fields.routeDefinition(route);
    // A route read from its feed needs no server.
    const bool feed = !m_options[route].feed.isEmpty();
    if (def[ServerName].isEmpty() && !feed) {
        m_display.setStatusText(TextNoServer);
        state.Status = StatusNoServer;
        state.Reason.clear();
        return;
    }
    // A day the route is not watched reads as outside its hours, without asking the server.
    if (const std::optional<QString> off = dayOffReason(m_options[route], m_clock().date())) {
        m_display.setStatusText(TextOutOfHours + QStringLiteral("（%1）").arg(*off));
        report(TextOutOfHours, TitleRouteInfo, how);
        state.Status = StatusOutOfHours;
        state.Reason = *off;
        state.CheckTime = nowText();
        m_verdict = true;
        return;
    }

    m_check.ArrivalPause = float(m_timings.arrivalPauseMs) / 1000.0f;
    m_check.PageText.clear();
    m_check.Connected = 0;
    if (feed) {
        runFeedSteps(route, how, def);
        return;
    }
    if (m_options[route].render && runRenderedSteps(route, retry, how, def))
        return;
    if (isHttpsServer(def[ServerName])) {
        runHttpsSteps(route, retry, how, def);
        return;
    }
    m_socket.connectToHost(def[ServerName], m_timings.port);
    m_display.setStatusText(TextConnecting);
    wait(m_timings.connectWaitMs);
    state.CheckTime = nowText();

    if (m_check.Connected == 0) {
        failConnection(route, how, false);
        return;
    }

    m_check.PageText.clear();
    m_replyRaw.clear();
    m_replyDecoder->reset();
    m_replyBytes = 0;
    const QString path = retry == 1 ? def[DelayDirectoryName] : def[DirectoryName];
    const QByteArray request = "GET /" + requestPath(path) + " HTTP/1.0\r\n\r\n";
    if (m_socket.write(request) != request.size())
        throw Failure(FailureKind::FetchFailed);
    m_display.setStatusText(TextRequesting);
    wait(m_timings.replyWaitMs);

    const QString status = m_check.PageText.mid(9, 3);
    if (status == QLatin1String("200")) {
        if (m_check.PageText.contains(NotFoundPage)) {
            failConnection(route, how, true);
            return;
        }
    } else if (status != QLatin1String("403") && status != QLatin1String("400")) {
        failOrRetry(route, retry, how, def);
        return;
    }

    const CodingDecision coding = convertPage(status, def, path, how);
    finishCheck(route, def, how, coding.json);
}

void RouteChecker::runHttpsSteps(int route, int retry, Reporting how, const RouteDefinition& def)
{
    RouteState& state = m_states[route];
    const QString path = retry == 1 ? def[DelayDirectoryName] : def[DirectoryName];
    const FetchedPage page =
        fetchWhole(httpsPageUrl(def[ServerName], path), m_timings.fetchTimeoutMs, state);

    const int status = page.statusCode;
    if (!pageServed(route, retry, how, def, status, page.failureDetail))
        return;

    // All three answers carry the page's own bytes, so they are read like the byte fetch's.
    m_check.PageBytes = page.body;
    const CodingDecision coding =
        readFetchedPage(page.contentType, status == 200 && how == Reporting::Interactive);
    finishServedPage(route, def, how, status, coding.json);
}

FetchedPage RouteChecker::fetchWhole(const QUrl& url, int timeoutMs, RouteState& state)
{
    m_display.setStatusText(TextConnecting);
    // The request goes out as soon as the TLS session stands, so both texts come together.
    const FetchedPage page = m_fetcher.fetchPage(url, timeoutMs, m_timings.replyCapBytes, [this] {
        onConnected();
        m_display.setStatusText(TextRequesting);
    });
    state.CheckTime = nowText();
    if (m_cancelled)
        throw Failure(FailureKind::Cancelled);
    if (page.tooLarge)
        throw Failure(FailureKind::PageTooLarge);
    return page;
}

void RouteChecker::runFeedSteps(int route, Reporting how, const RouteDefinition& def)
{
    RouteState& state = m_states[route];
    const RouteOptions& options = m_options[route];
    const QUrl url(options.feed);
    m_feedRead = true;
    // The HTTP client would read a file: address as well; a feed is only ever fetched. Without a
    // host ("https:/api…", a slash short) its complaint would quote the address, key and all.
    const bool web = url.scheme() == u"http" || url.scheme() == u"https";
    if (!web || url.host().isEmpty()) {
        state.CheckTime = nowText();
        failFeed(route, how, web ? TextFeedNoHost : TextFeedScheme);
        return;
    }
    FetchedPage page;
    try {
        page = fetchWhole(url, m_timings.feedTimeoutMs, state);
    } catch (const Failure& failure) {
        // A feed that cannot be read is a failed check like any other, never a silent one.
        if (failure.kind() != FailureKind::PageTooLarge)
            throw;
        failFeed(route, how, feedtext::TooLarge.arg(m_timings.replyCapBytes >> 20));
        return;
    }
    if (page.statusCode != 200) {
        // The client's words may quote the address, consumer key and all.
        failFeed(route, how,
                 page.statusCode != 0 ? QStringLiteral("HTTP %1").arg(page.statusCode)
                                      : urlsMaskedIn(page.failureDetail));
        return;
    }
    m_check.Connected = 1;
    const QDateTime now = m_clock();
    const Verdict verdict = decideFeed(page.body, options.feedLine, def[MatchWord], now);
    platform::returnFreedHeap();
    if (verdict.status == StatusConnectFailed) {
        failFeed(route, how, verdict.reason);
        return;
    }
    if (how == Reporting::Interactive)
        m_display.setBusy(false);
    const Verdict told = outOfHours(def, now.time()) ? Verdict{StatusOutOfHours, {}} : verdict;
    tellVerdict(told, how);
    state.Status = told.status;
    state.Reason = told.reason;
    state.CheckTime = nowText();
    m_verdict = true;
}

void RouteChecker::failFeed(int route, Reporting how, const QString& why)
{
    m_display.setFailureDetail(why);
    failConnection(route, how, true, why);
}

bool RouteChecker::runRenderedSteps(int route, int retry, Reporting how, const RouteDefinition& def)
{
    m_display.setStatusText(TextConnecting);
    const QString path = retry == 1 ? def[DelayDirectoryName] : def[DirectoryName];
    const RenderedPage page =
        m_renderer.read(renderedPageUrl(def[ServerName], path, m_timings.port));
    m_display.setRenderOutcome(page);
    if (page.noEngine)
        return false;
    m_states[route].CheckTime = nowText();
    if (m_cancelled)
        throw Failure(FailureKind::Cancelled);
    // A page that never settled has no text to judge: it fails, never reads as normal.
    if (!pageServed(route, retry, how, def, page.ok ? page.status : 0, page.detail))
        return true;
    m_check.PageBytes.clear();
    m_check.PageText = page.text;
    m_rendered = true;
    finishServedPage(route, def, how, page.status, false);
    return true;
}

bool RouteChecker::pageServed(int route, int retry, Reporting how, const RouteDefinition& def,
                              int status, const QString& failureDetail)
{
    if (status == 200 || status == 403 || status == 400) {
        m_check.Connected = 1;
        return true;
    }
    m_display.setFailureDetail(failureDetail.isEmpty() ? QStringLiteral("HTTP %1").arg(status)
                                                       : failureDetail);
    failOrRetry(route, retry, how, def);
    return false;
}

void RouteChecker::finishServedPage(int route, const RouteDefinition& def, Reporting how,
                                    int status, bool jsonReply)
{
    // Judged on the text: a not-found page in UTF-8 or EUC-JP says so only once converted.
    if (status == 200 && m_check.PageText.contains(NotFoundPage)) {
        failConnection(route, how, true);
        return;
    }
    finishCheck(route, def, how, jsonReply);
}

void RouteChecker::failOrRetry(int route, int retry, Reporting how, const RouteDefinition& def)
{
    if (retry == 0 && !def[DelayDirectoryName].isEmpty()) {
        m_display.setStatusText(TextFailed);
        runCheck(route, 1, how);
        return;
    }
    failConnection(route, how, true);
}

void RouteChecker::finishCheck(int route, const RouteDefinition& def, Reporting how, bool jsonReply)
{
    RouteState& state = m_states[route];
    if (how == Reporting::Interactive) {
        m_display.setBusy(false);
        m_socket.abort(); // unlike the timed check, it does not leave the connection open
    }
    m_display.setPageText(m_check.PageText);
    m_pageObtained = true;
    const PageForm form = m_rendered  ? PageForm::Shown
                          : jsonReply ? PageForm::Json
                                      : PageForm::Source;
    const Verdict verdict = decideStatus(def, m_check.PageText, m_clock().time(), form);
    tellVerdict(verdict, how);
    state.Status = verdict.status;
    state.Reason = verdict.reason;
    state.CheckTime = nowText();
    m_verdict = true;
}

void RouteChecker::tellVerdict(const Verdict& verdict, Reporting how)
{
    // Shown before the box, which holds the check until it is closed.
    if (!verdict.reason.isEmpty())
        m_display.setStatusText(withReason(TextDelayed, reasonOnOneLine(verdict.reason)));
    switch (verdict.status) {
    case StatusOutOfHours:
        report(TextOutOfHours, TitleRouteInfo, how);
        break;
    case StatusNormal:
        report(QStringLiteral("平常運転です。"), TitleRouteInfo, how);
        break;
    default:
        report(QStringLiteral("遅れがあります。"), TitleRouteInfo, how);
        break;
    }
}

void RouteChecker::failConnection(int route, Reporting how, bool clearConnected, const QString& why)
{
    m_display.setStatusText(why.isEmpty() ? TextFailed : TextFailed + QStringLiteral(": ") + why);
    report(TextFailed, TitleMessage, how);
    if (clearConnected)
        m_check.Connected = 0;
    m_states[route].Status = StatusConnectFailed;
    m_states[route].Reason.clear();
    m_verdict = true;
    m_socket.abort();
}

CodingDecision RouteChecker::convertPage(const QString& status, const RouteDefinition& def,
                                         const QString& path, Reporting how)
{
    // The bytes fetched are those of the page just judged, also during the delay-directory retry.
    const QUrl url = byteFetchUrl(def[ServerName], path, m_timings.port);
    auto fetchBytes = [&] {
        FetchedPage page = m_fetcher.fetch(url, m_timings.fetchTimeoutMs, m_timings.replyCapBytes);
        m_check.PageBytes = std::move(page.body);
        return page.contentType;
    };
    if (m_cancelled)
        throw Failure(FailureKind::Cancelled);

    // Path A (200) decides from the socket reply's own bytes and fetches bytes only for codings
    // the socket's Shift_JIS reading cannot serve; path B (403, 400) always works from fetched
    // bytes.
    CodingDecision coding;
    if (status == QLatin1String("200")) {
        coding = decideReplyCoding(m_replyRaw);
        m_replyRaw = QByteArray(); // up to the reply cap; not needed any more
        showCoding(coding, how == Reporting::Interactive);
        if (coding.coding != PageCoding::ShiftJis && coding.coding != PageCoding::Iso2022Jp)
            fetchBytes();
        convertBytes(coding.coding);
    } else {
        coding = readFetchedPage(fetchBytes(), false);
    }
    if (m_cancelled)
        throw Failure(FailureKind::Cancelled);
    return coding;
}

void RouteChecker::showCoding(const CodingDecision& decision, bool showLabel)
{
    m_pageCoding = decision;
    m_display.setPageCoding(decision);
    if (showLabel)
        m_display.setPageText(shownDeclaration(decision));
}

CodingDecision RouteChecker::readFetchedPage(const QByteArray& contentType, bool showLabel)
{
    const CodingDecision coding = decidePageCoding(m_check.PageBytes, contentType);
    showCoding(coding, showLabel);
    // Only the codings that convert text need the bytes read as the socket reads them; the
    // others decode the bytes themselves.
    if (coding.coding == PageCoding::ShiftJis || coding.coding == PageCoding::Iso2022Jp)
        m_check.PageText = Kconv(m_check.PageBytes, 3, 0);
    convertBytes(coding.coding);
    return coding;
}

void RouteChecker::convertBytes(PageCoding pageCoding)
{
    QString& text = m_check.PageText;
    switch (pageCoding) {
    case PageCoding::Utf8:
        text = ConvertPageText(Kconv(m_check.PageBytes, 3, 5));
        break;
    case PageCoding::EucJp:
        text = ConvertPageText(Kconv(m_check.PageBytes, 3, 2));
        break;
    case PageCoding::Iso2022Jp:
        text = ConvertPageText(text);
        break;
    case PageCoding::Utf16Le:
        text = Converter(coding::Utf16Le).decode(m_check.PageBytes);
        break;
    case PageCoding::Utf16Be:
        text = Converter(coding::Utf16Be).decode(m_check.PageBytes);
        break;
    case PageCoding::ShiftJis:
        break;
    }
}

void RouteChecker::report(const QString& prompt, const QString& title, Reporting how)
{
    if (how == Reporting::Interactive)
        m_display.showMessage(prompt, title);
}

void RouteChecker::wait(int ms)
{
    // The wait always lasts its full time; the socket's events are handled meanwhile.
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    QEventLoop* outer = m_waitLoop;
    m_waitLoop = &loop;
    if (!m_cancelled)
        loop.exec();
    m_waitLoop = outer;
    if (m_cancelled)
        throw Failure(FailureKind::Cancelled);
}

QString RouteChecker::nowText() const
{
    return m_clock().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

void RouteChecker::onConnected()
{
    m_display.setStatusText(TextConnected);
    m_check.Connected = 1;
}

void RouteChecker::onReadyRead()
{
    // The connection stays open after a successful check; what a server sends then can change
    // nothing and must not cost memory or time while the program idles.
    if (!isRunning()) {
        m_socket.skip(m_socket.bytesAvailable());
        return;
    }
    const qsizetype room = m_timings.replyCapBytes - m_replyBytes;
    QByteArray chunk = m_socket.read(qMax<qsizetype>(room, 0));
    // Beyond the cap the reply is dropped as if it had not arrived.
    m_socket.skip(m_socket.bytesAvailable());
    if (chunk.isEmpty())
        return;
    m_replyBytes += chunk.size();
    m_replyRaw += chunk;
    m_check.PageText += m_replyDecoder->decode(chunk, false);
    if (m_check.ArrivalPause > 0)
        QThread::msleep(qRound(m_check.ArrivalPause * 1000));
}

void RouteChecker::onError(QAbstractSocket::SocketError error)
{
    // A server that closes after its reply is the normal end of HTTP/1.0: take the rest first.
    if (error == QAbstractSocket::RemoteHostClosedError && m_socket.bytesAvailable() > 0)
        onReadyRead();
    m_socket.abort();
}

} // namespace senrokan
