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
#include "feed/OdptApi.h"
#include "feed/OfficialFeed.h"
#include "platform/MemoryTuning.h"
#include "route/MaskedUrl.h"
#include "route/Reason.h"
#include "route/RouteAddress.h"
#include "route/StatusWords.h"
#include "route/Watching.h"

#include <QEventLoop>
#include <QScopeGuard>
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
const QString TextFailed = statusWord(StatusConnectFailed);
const QString TextNoServer = statusWord(StatusNoServer);
const QString NotFoundPage = QStringLiteral("ページが見つかりません");
const QString TextOutOfHours = statusSentence(StatusOutOfHours);
const QString TextFeedScheme = QStringLiteral("フィードは http:// か https:// のアドレスです");
const QString TextFeedNoHost = QStringLiteral("フィードのアドレスにホスト名がありません");

QString httpStatusText(int status)
{
    return QStringLiteral("HTTP %1").arg(status);
}

const QString BandsHoldNote =
    QStringLiteral("Senrokan.ini の Hours= の時間帯が有効時間帯の欄より優先されます");

// The socket's read buffer: bounds memory however fast a server sends.
constexpr qint64 SocketReadBuffer = 1024 * 1024;

// The Content-Length a reply's header lines declare; none when they declare none that reads.
std::optional<qint64> declaredLength(const QByteArray& header)
{
    static constexpr QByteArrayView Name = "content-length:";
    for (const QByteArray& line : header.split('\n')) {
        if (!line.toLower().startsWith(Name))
            continue;
        bool ok = false;
        const qint64 length = line.sliced(Name.size()).trimmed().toLongLong(&ok);
        if (ok && length >= 0)
            return length;
    }
    return std::nullopt;
}

} // namespace

RouteState CheckOutcome::after(RouteState before) const
{
    before.CheckTime = checkTime;
    if (verdict) {
        before.Status = verdict->status;
        before.Reason = verdict->reason;
        before.Failure = verdict->failure;
        before.Notice = verdict->notice;
    }
    return before;
}

RouteChecker::RouteChecker(CheckDisplay& display, QObject* parent)
    : QObject(parent), m_display(display),
      m_replyDecoder(std::make_unique<Converter>(coding::Cp932))
{
    m_socket.setReadBufferSize(SocketReadBuffer);
    connect(&m_socket, &QTcpSocket::connected, this, &RouteChecker::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &RouteChecker::onReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &RouteChecker::onError);
}

RouteChecker::~RouteChecker() = default;

std::optional<CheckOutcome> RouteChecker::PollRoute(int route, int retry)
{
    if (isRunning())
        return std::nullopt;
    return runCheck(route, retry, Reporting::Timed);
}

std::optional<CheckOutcome> RouteChecker::CheckRoute(int route, int mode)
{
    if (isRunning())
        return std::nullopt;
    return runCheck(route, mode, Reporting::Interactive);
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

CheckOutcome RouteChecker::runCheck(int route, int retry, Reporting how)
{
    // The delay-directory retry is part of the same check.
    if (m_depth == 0) {
        m_pageCoding.reset();
        m_outcome = CheckOutcome();
        m_recorded = false;
        m_failureDetail.clear();
        m_checkTimer.start();
        Q_EMIT checkStarted(route);
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
    CheckOutcome outcome;
    if (--m_depth == 0) {
        outcome = std::exchange(m_outcome, CheckOutcome());
        if (m_cancelled)
            outcome.verdict.reset();
        if (isRouteIndex(route) && m_pageObtained)
            outcome.pageText = m_check.PageText;
        if (m_recorded && !m_cancelled) {
            // A page the browser read has no coding of ours, only that source.
            QString coding;
            QString codingSource;
            if (outcome.readFrom == ReadFrom::Feed) {
                codingSource = QStringLiteral("feed");
            } else if (outcome.readFrom == ReadFrom::RenderedPage) {
                codingSource = QStringLiteral("browser");
            } else if (m_pageCoding) {
                coding = codingName(m_pageCoding->coding);
                codingSource = codingSourceName(m_pageCoding->source);
            }
            // A line running normally keeps its notices in the record.
            const QString& reason = outcome.verdict->reason.isEmpty() ? outcome.verdict->notice
                                                                      : outcome.verdict->reason;
            outcome.record = CheckRecord{m_clock().toUTC(),
                                         route,
                                         m_fields->routeField(route, Title),
                                         outcome.verdict->status,
                                         how == Reporting::Interactive ? CheckSource::Button
                                                                       : CheckSource::Timed,
                                         coding,
                                         codingSource,
                                         int(m_checkTimer.elapsed()),
                                         reason};
        }
        m_cancelled = false;
        if (!m_renderBatch)
            m_renderer.finish();
    }
    return outcome;
}

void RouteChecker::settle(const Verdict& verdict, bool stampNow)
{
    m_outcome.verdict = verdict;
    if (stampNow)
        m_outcome.checkTime = nowText();
    m_recorded = true;
}

void RouteChecker::beginRendering(int route)
{
    m_renderBatch = true;
    QList<QUrl> pages;
    for (int r = 1; r <= RouteCount; ++r) {
        const RouteDefinition def = m_fields->routeDefinition(r);
        if ((route == 0 || route == r) && m_options[r].render && hasPage(def))
            pages << renderedPageUrl(pageAddress(def), m_timings.port);
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
    m_outcome.checkTime.clear();

    RouteDefinition def = m_fields->routeDefinition(route);
    // The bands of Hours= hold over the valid-hours fields, which the check then leaves out.
    m_bandsHold =
        !m_options[route].hours.isEmpty() && (!def[ValidFrom].isEmpty() || !def[ValidTo].isEmpty());
    if (m_bandsHold) {
        def[ValidFrom].clear();
        def[ValidTo].clear();
    }
    if (!isWatched(def, m_options[route])) {
        m_display.setStatusText(TextNoServer);
        // Not a check: nothing is recorded and no time is given.
        m_outcome.verdict = Verdict{StatusNoServer, {}};
        return;
    }
    // A day the route is not watched, or a time outside its bands, reads as outside its hours,
    // without asking the server.
    const QDateTime now = m_clock();
    std::optional<QString> off = dayOffReason(m_options[route], now.date());
    if (!off)
        off = hoursOffReason(m_options[route], now.time());
    if (off) {
        m_display.setStatusText(TextOutOfHours + QStringLiteral("（%1）").arg(*off));
        report(TextOutOfHours, TitleRouteInfo, how);
        settle({StatusOutOfHours, *off});
        return;
    }

    m_check.ArrivalPause = float(m_timings.arrivalPauseMs) / 1000.0f;
    m_check.PageText.clear();
    m_check.Connected = 0;
    if (readsFeed(m_options[route])) {
        runFeedSteps(route, how, def);
        return;
    }
    // An address that cannot be asked for is said as such, not as a server out of reach.
    if (const QString problem = addressProblem(def); !problem.isEmpty()) {
        m_outcome.checkTime = nowText();
        failWith(how, problem);
        return;
    }
    if (m_options[route].render && runRenderedSteps(route, retry, how, def))
        return;
    const PageAddress address = pageAddress(def, retry == 1);
    if (address.https) {
        runHttpsSteps(route, retry, how, def);
        return;
    }
    // A port named in the address or the port field takes the place of the default 80 only.
    m_socket.connectToHost(address.host, address.portOr(m_timings.port));
    m_display.setStatusText(TextConnecting);
    waitFor(m_timings.connectWaitMs, [this] {
        return m_check.Connected != 0 || m_socket.state() == QAbstractSocket::UnconnectedState;
    });
    m_outcome.checkTime = nowText();

    if (m_check.Connected == 0) {
        failConnection(how, false);
        return;
    }

    m_check.PageText.clear();
    m_replyRaw.clear();
    m_replyDecoder->reset();
    m_replyBytes = 0;
    m_replyBodyStart = -1;
    m_replyLength.reset();
    const QByteArray request = "GET /" + address.requestTarget() + " HTTP/1.0\r\n\r\n";
    if (m_socket.write(request) != request.size())
        throw Failure(FailureKind::FetchFailed);
    m_display.setStatusText(TextRequesting);
    // Read whole or not at all: what has come of a slow or cut reply says nothing of the line.
    const bool complete = waitFor(m_timings.replyWaitMs, [this] { return replyComplete(); });
    if (const QString why = unfinishedReply(complete); !why.isEmpty()) {
        failWith(how, why);
        return;
    }

    const QString status = m_check.PageText.mid(9, 3);
    if (status == QLatin1String("200")) {
        if (m_check.PageText.contains(NotFoundPage)) {
            failConnection(how, true);
            return;
        }
    } else if (status != QLatin1String("403") && status != QLatin1String("400")) {
        bool numeric = false;
        if (const int code = status.toInt(&numeric); numeric)
            m_failureDetail = httpStatusText(code);
        failOrRetry(route, retry, how, def);
        return;
    }

    if (const std::optional<CodingDecision> coding = convertPage(status, address, how))
        finishCheck(def, how, coding->json);
}

void RouteChecker::runHttpsSteps(int route, int retry, Reporting how, const RouteDefinition& def)
{
    const PageAddress address = pageAddress(def, retry == 1);
    const FetchedPage page =
        fetchWhole(httpsPageUrl(address.origin, address.target), m_timings.fetchTimeoutMs);

    if (!pageServed(route, retry, how, def, page.statusCode, page.failureDetail))
        return;

    // The answer carries the page's own bytes, so it is read like the byte fetch's.
    m_check.PageBytes = page.body;
    const CodingDecision coding = readFetchedPage(page.contentType, how == Reporting::Interactive);
    finishServedPage(def, how, coding.json);
}

FetchedPage RouteChecker::fetchWhole(const QUrl& url, int timeoutMs)
{
    m_display.setStatusText(TextConnecting);
    // Set however the fetch ends, as the socket check sets it once the connection is decided.
    const auto stamp = qScopeGuard([this] { m_outcome.checkTime = nowText(); });
    // The request goes out as soon as the TLS session stands, so both texts come together.
    return fetchBounded(url, timeoutMs, [this] {
        onConnected();
        m_display.setStatusText(TextRequesting);
    });
}

FetchedPage RouteChecker::fetchBounded(const QUrl& url, int timeoutMs,
                                       const std::function<void()>& onSecured)
{
    FetchedPage page = m_fetcher.fetchPage(url, timeoutMs, m_timings.replyCapBytes, onSecured);
    if (m_cancelled)
        throw Failure(FailureKind::Cancelled);
    if (page.tooLarge)
        throw Failure(FailureKind::PageTooLarge);
    return page;
}

void RouteChecker::runFeedSteps(int route, Reporting how, const RouteDefinition& def)
{
    const RouteOptions& options = m_options[route];
    // The consumer key joins the request here, so that no kept or shown address ever holds it.
    const QUrl url = withConsumerKey(QUrl(options.feed), options.feedKey);
    m_outcome.readFrom = ReadFrom::Feed;
    // The HTTP client would read a file: address as well; a feed is only ever fetched. Without a
    // host ("https:/api…", a slash short) its complaint would quote the address, key and all.
    const bool web = url.scheme() == u"http" || url.scheme() == u"https";
    if (!web || url.host().isEmpty()) {
        m_outcome.checkTime = nowText();
        failWith(how, web ? TextFeedNoHost : TextFeedScheme);
        return;
    }
    FetchedPage page;
    try {
        page = fetchWhole(url, m_timings.feedTimeoutMs);
    } catch (const Failure& failure) {
        // A feed that cannot be read is a failed check like any other, never a silent one.
        if (failure.kind() != FailureKind::PageTooLarge)
            throw;
        failWith(how, feedtext::TooLarge.arg(m_timings.replyCapBytes >> 20));
        return;
    }
    if (page.statusCode != 200) {
        // The client's words may quote the address, consumer key and all.
        failWith(how, page.statusCode != 0 ? httpStatusText(page.statusCode)
                                           : urlsMaskedIn(page.failureDetail));
        return;
    }
    m_check.Connected = 1;
    const QDateTime now = m_clock();
    const Verdict verdict = decideFeed(page.body, options.feedLine, def[MatchWord], now, url);
    platform::returnFreedHeap();
    if (verdict.status == StatusConnectFailed) {
        failWith(how, verdict.failure);
        return;
    }
    if (!verdict.note.isEmpty())
        m_display.setStatusText(verdict.note);
    if (how == Reporting::Interactive)
        m_display.setBusy(false);
    const Verdict told = outOfHours(def, now.time()) ? Verdict{StatusOutOfHours, {}} : verdict;
    tellVerdict(told, def, how);
    settle(told);
}

void RouteChecker::failWith(Reporting how, const QString& why)
{
    m_display.setFailureDetail(why);
    failConnection(how, true, why);
}

bool RouteChecker::runRenderedSteps(int route, int retry, Reporting how, const RouteDefinition& def)
{
    m_display.setStatusText(TextConnecting);
    const RenderedPage page =
        m_renderer.read(renderedPageUrl(pageAddress(def, retry == 1), m_timings.port));
    m_display.setRenderOutcome(page);
    if (page.noEngine)
        return false;
    m_outcome.checkTime = nowText();
    if (m_cancelled)
        throw Failure(FailureKind::Cancelled);
    // A page that never settled has no text to judge: it fails, never reads as normal.
    if (!pageServed(route, retry, how, def, page.ok ? page.status : 0, page.detail))
        return true;
    m_check.PageBytes.clear();
    m_check.PageText = page.text;
    m_outcome.readFrom = ReadFrom::RenderedPage;
    finishServedPage(def, how, false);
    return true;
}

bool RouteChecker::pageServed(int route, int retry, Reporting how, const RouteDefinition& def,
                              int status, const QString& failureDetail)
{
    if (status == 200) {
        m_check.Connected = 1;
        return true;
    }
    const QString why = failureDetail.isEmpty() ? httpStatusText(status) : failureDetail;
    // A refusal of the client's own request carries no page: what a bot block serves must never
    // read as a delay.
    if (status == 403 || status == 400) {
        failWith(how, why);
        return false;
    }
    m_display.setFailureDetail(why);
    m_failureDetail = why;
    failOrRetry(route, retry, how, def);
    return false;
}

void RouteChecker::finishServedPage(const RouteDefinition& def, Reporting how, bool jsonReply)
{
    // Judged on the text: a not-found page in UTF-8 or EUC-JP says so only once converted.
    if (m_check.PageText.contains(NotFoundPage)) {
        failConnection(how, true);
        return;
    }
    finishCheck(def, how, jsonReply);
}

void RouteChecker::failOrRetry(int route, int retry, Reporting how, const RouteDefinition& def)
{
    if (retry == 0 && !def[DelayDirectoryName].isEmpty()) {
        m_display.setStatusText(TextFailed);
        runCheck(route, 1, how);
        return;
    }
    failConnection(how, true);
}

void RouteChecker::finishCheck(const RouteDefinition& def, Reporting how, bool jsonReply)
{
    if (how == Reporting::Interactive) {
        m_display.setBusy(false);
        m_socket.abort(); // unlike the timed check, it does not leave the connection open
    }
    m_display.setPageText(m_check.PageText);
    m_pageObtained = true;
    const PageForm form = m_outcome.readFrom == ReadFrom::RenderedPage ? PageForm::Shown
                          : jsonReply                                  ? PageForm::Json
                                                                       : PageForm::Source;
    const Verdict verdict = decideStatus(def, m_check.PageText, m_clock().time(), form);
    if (verdict.status == StatusConnectFailed) {
        failWith(how, verdict.failure);
        return;
    }
    // Told before the verdict's box, which holds the check until it is closed; a reason the
    // verdict brings replaces it in the status field.
    std::optional<MatchCount> count;
    if (verdict.status != StatusOutOfHours && !def[MatchWord].isEmpty()) {
        count = countMatchWord(def, m_check.PageText, form);
        m_display.setMatchCount(*count);
    }
    // A word found more than once, with no section, may be another line's: the box says so, and
    // offers to start the section where the route's title is on the page.
    if (verdict.status == StatusNormal && how == Reporting::Interactive && count &&
        count->count > 1 && !count->sectioned) {
        const QString title = def[Title].trimmed();
        const QString box =
            statusSentence(StatusNormal) + u'\n' +
            QStringLiteral("「%1」がページに%2回あります。ほかの路線の行かもしれません。")
                .arg(count->word)
                .arg(count->count);
        if (!title.isEmpty() && pageHolds(m_check.PageText, title, form)) {
            if (m_display.askQuestion(
                    box + u'\n' +
                        QStringLiteral("「%1」のところから区間を始めて（サブタイトル）、"
                                       "チェックし直しますか？")
                            .arg(title),
                    TitleRouteInfo))
                m_outcome.sectionStart = title;
        } else {
            m_display.showMessage(box, TitleRouteInfo);
        }
        // Its box is the one above.
        tellVerdict(verdict, def, Reporting::Timed);
    } else {
        tellVerdict(verdict, def, how);
    }
    settle(verdict);
}

void RouteChecker::tellVerdict(const Verdict& verdict, const RouteDefinition& def, Reporting how)
{
    // Shown before the box, which holds the check until it is closed. A delay's reason leads
    // with it; a line running normally may have notices.
    const QString said = verdict.reason.isEmpty() ? verdict.notice : verdict.reason;
    if (!said.isEmpty())
        m_display.setStatusText(withReason(statusWord(verdict.status), reasonOnOneLine(said)));
    switch (verdict.status) {
    case StatusOutOfHours:
        report(TextOutOfHours, TitleRouteInfo, how);
        break;
    case StatusNormal:
        report(verdict.notice.isEmpty()
                   ? statusSentence(StatusNormal)
                   : statusSentence(StatusNormal) + u'\n' + reasonOnOneLine(verdict.notice),
               TitleRouteInfo, how);
        break;
    default:
        report(delaySentence(verdict.reason), TitleRouteInfo, how);
        break;
    }
    // Hours that could not be read were left out, hours that Hours= holds over too: said on
    // every check until they are mended.
    if (const QString problem = m_bandsHold ? BandsHoldNote : validHoursProblem(def);
        !problem.isEmpty())
        m_display.setSettingProblem(problem);
}

void RouteChecker::failConnection(Reporting how, bool clearConnected, const QString& why)
{
    m_display.setStatusText(why.isEmpty() ? TextFailed : TextFailed + QStringLiteral(": ") + why);
    report(TextFailed, TitleMessage, how);
    if (clearConnected)
        m_check.Connected = 0;
    // The check time stays the moment the server was reached or given up on.
    settle(Verdict::failed(why.isEmpty() ? m_failureDetail : why), false);
    m_socket.abort();
}

std::optional<CodingDecision> RouteChecker::convertPage(const QString& status,
                                                        const PageAddress& address, Reporting how)
{
    // The bytes fetched are those of the page just judged, also during the delay-directory retry.
    const QUrl url =
        byteFetchUrl(address.host, address.target, address.portOr(m_timings.port), address.whole);
    QByteArray contentType;
    // Only a 2xx answer carries the page; any other fails the check, telling why.
    auto fetchBytes = [&] {
        FetchedPage page = fetchBounded(url, m_timings.fetchTimeoutMs);
        if (page.statusCode / 100 != 2) {
            failWith(how,
                     page.statusCode != 0 ? httpStatusText(page.statusCode) : page.failureDetail);
            return false;
        }
        m_check.PageBytes = std::move(page.body);
        contentType = page.contentType;
        return true;
    };
    // Path A (200) decides from the socket reply's own bytes and fetches bytes only for codings
    // the socket's Shift_JIS reading cannot serve; path B (403, 400) always works from fetched
    // bytes.
    std::optional<CodingDecision> coding;
    if (status == QLatin1String("200")) {
        coding = decideReplyCoding(m_replyRaw);
        m_replyRaw = QByteArray(); // up to the reply cap; not needed any more
        showCoding(*coding, how == Reporting::Interactive);
        if (coding->coding != PageCoding::ShiftJis && coding->coding != PageCoding::Iso2022Jp &&
            !fetchBytes())
            return std::nullopt;
        convertBytes(coding->coding);
    } else if (fetchBytes()) {
        coding = readFetchedPage(contentType, false);
    }
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

bool RouteChecker::waitFor(int limitMs, const std::function<bool()>& done)
{
    // The window and everything else go on answering meanwhile.
    QEventLoop loop;
    QTimer::singleShot(limitMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    // Connected after the check's own handlers, so these see what they made of each event.
    const auto check = [&] {
        if (done())
            loop.quit();
    };
    connect(&m_socket, &QTcpSocket::connected, &loop, check);
    connect(&m_socket, &QTcpSocket::readyRead, &loop, check);
    connect(&m_socket, &QTcpSocket::stateChanged, &loop, check);
    connect(&m_socket, &QTcpSocket::errorOccurred, &loop, check);
    QEventLoop* outer = m_waitLoop;
    m_waitLoop = &loop;
    if (!m_cancelled && !done())
        loop.exec();
    m_waitLoop = outer;
    if (m_cancelled)
        throw Failure(FailureKind::Cancelled);
    return done();
}

bool RouteChecker::replyComplete() const
{
    return m_socket.state() == QAbstractSocket::UnconnectedState ||
           m_replyBytes >= m_timings.replyCapBytes ||
           (m_replyLength && m_replyBytes - m_replyBodyStart >= *m_replyLength);
}

QString RouteChecker::unfinishedReply(bool complete) const
{
    if (!complete)
        return lateReplyText(m_timings.replyWaitMs);
    // Past the cap the rest is dropped by design, never missed.
    const qint64 body = m_replyBytes - m_replyBodyStart;
    if (m_replyLength && body < *m_replyLength && m_replyBytes < m_timings.replyCapBytes)
        return cutReplyText(*m_replyLength, body);
    return {};
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
    if (m_replyBodyStart < 0) {
        // Sought in what came since, with room for a break split between two chunks.
        const qsizetype end = m_replyRaw.indexOf(
            "\r\n\r\n", qMax<qsizetype>(0, m_replyRaw.size() - chunk.size() - 3));
        if (end >= 0) {
            m_replyBodyStart = end + 4;
            m_replyLength = declaredLength(m_replyRaw.first(end));
        }
    }
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
