// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "ByteFetcher.h"
#include "CheckDisplay.h"
#include "CheckTimings.h"
#include "codec/PageCoding.h"
#include "render/PageRenderer.h"
#include "route/CheckRecord.h"
#include "route/RouteDefinition.h"
#include "route/RouteOptions.h"
#include "route/RouteState.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTcpSocket>

#include <functional>
#include <memory>
#include <optional>

class QEventLoop;

namespace senrokan
{

class Converter;
struct PageAddress;

// Values that serve whichever check runs at the moment.
struct CheckState {
    QString PageText;     // the reply as received, then the page text after conversion
    QByteArray PageBytes; // the page as fetched by the HTTP client
    int Connected = 0;
    float ArrivalPause = 0; // seconds the arrival handler pauses after taking a chunk
};

// What a check read the line from.
enum class ReadFrom { Page, RenderedPage, Feed };

// What one check hands back; the routes' states are kept by whoever ran it.
struct CheckOutcome {
    // What the check concluded; none when it reached no verdict (ended by a failure or
    // cancelled), and the route keeps the status and reason of the one before.
    std::optional<Verdict> verdict;
    // When the check reached the server or gave up on it; empty when it never tried.
    QString checkTime;
    ReadFrom readFrom = ReadFrom::Page;
    // The check as the record keeps it; none when it reached no verdict or had no server.
    std::optional<CheckRecord> record;
    // The page text the check obtained, empty when it stopped before it had one (no server, no
    // connection, a page not served, a feed).
    QString pageText;
    // Where the user chose, in the check's box, to start the route's section: the route's title,
    // found on the page; empty when not chosen.
    QString sectionStart;

    // The route's state after the check, from its state before.
    RouteState after(RouteState before) const;
};

// Checks one route: connect on port 80, send a bare HTTP/1.0 GET, judge the reply, find the
// page's coding, convert it and look for the match word. A route on an "https://" server is
// fetched by the HTTP client instead and its answer judged by the same rules. PollRoute is the
// silent timed check; CheckRoute is the same procedure reporting to the user. One check runs at a
// time: a call while another check runs returns at once without doing anything, and none.
// The route's fields are read from the table set by setRoutes, as they stand when the check
// starts.
class RouteChecker : public QObject
{
    Q_OBJECT
public:
    explicit RouteChecker(CheckDisplay& display, QObject* parent = nullptr);
    ~RouteChecker() override;

    std::optional<CheckOutcome> PollRoute(int route, int retry);
    std::optional<CheckOutcome> CheckRoute(int route, int mode);

    bool isRunning() const { return m_depth > 0; }
    // Ends a running check at its next wait, silently, as a failed check; for ending the program.
    void cancel();
    void closeSocket();

    const CheckState& checkState() const { return m_check; }
    // Where the checks from now on read the routes' fields; set before the first check.
    void setRoutes(const RouteFieldSource& fields) { m_fields = &fields; }

    void setTimings(const CheckTimings& timings) { m_timings = timings; }

    // Each route's options (read as the browser shows it, ...), for the checks from now on; the
    // caller reads them afresh before each round of checks, so a choice made anywhere counts
    // from the next one. By default no route has any.
    void setRouteOptions(const RouteOptionsTable& options) { m_options = options; }
    // Until endRendering, the checks read their rendered pages from one helper that starts
    // reading all of them (or only route's) now, side by side, instead of one helper per page.
    void beginRendering(int route = 0);
    // Ends the helper and everything it started: nothing of the engine stays between checks.
    void endRendering();
    void setClock(Clock clock) { m_clock = std::move(clock); }

Q_SIGNALS:
    // A check of route begins (not its delay-directory retry).
    void checkStarted(int route);

private:
    enum class Reporting { Timed, Interactive };

    CheckOutcome runCheck(int route, int retry, Reporting how);
    // The one place a check reaches its verdict, with its check time unless the check already
    // set the moment it reached the server or gave up on it.
    void settle(const Verdict& verdict, bool stampNow = true);
    void runSteps(int route, int retry, Reporting how);
    void runHttpsSteps(int route, int retry, Reporting how, const RouteDefinition& def);
    // The whole answer of the HTTP client for url, told in the status field, the check's time
    // set; as fetchBounded.
    FetchedPage fetchWhole(const QUrl& url, int timeoutMs);
    // The whole answer of the HTTP client for url; cancelled or a body over the cap throw Failure.
    FetchedPage fetchBounded(const QUrl& url, int timeoutMs,
                             const std::function<void()>& onSecured = {});
    // The route's official feed read instead of its page.
    void runFeedSteps(int route, Reporting how, const RouteDefinition& def);
    // Ends the check as "接続失敗" for why, told in the status field and as the detail.
    void failWith(Reporting how, const QString& why);
    // The outcome's box, the reason in the status field, and valid hours that could not be read.
    void tellVerdict(const Verdict& verdict, const RouteDefinition& def, Reporting how);
    // False, with nothing done, when the engine is not there to read the page.
    bool runRenderedSteps(int route, int retry, Reporting how, const RouteDefinition& def);
    // Whether a page answered by the HTTP client or the engine was served (200); when not, the
    // failure or the delay-directory retry has been done.
    bool pageServed(int route, int retry, Reporting how, const RouteDefinition& def, int status,
                    const QString& failureDetail);
    // The served page's text judged: a not-found page fails, any other gets its verdict.
    void finishServedPage(const RouteDefinition& def, Reporting how, bool jsonReply);
    // Ends the check as "接続失敗" with StatusConnectFailed, why (if any) after it in the status
    // field.
    void failConnection(Reporting how, bool clearConnected, const QString& why = {});
    // A page not served: the one retry with the delay directory, or the failure.
    void failOrRetry(int route, int retry, Reporting how, const RouteDefinition& def);
    // Valid hours, the match word and the outcome, once the page text stands.
    void finishCheck(const RouteDefinition& def, Reporting how, bool jsonReply);
    // The page's coding, its text converted; none when the byte fetch was not answered with
    // the page, which has failed the check.
    std::optional<CodingDecision> convertPage(const QString& status, const PageAddress& address,
                                              Reporting how);
    void showCoding(const CodingDecision& decision, bool showLabel);
    void convertBytes(PageCoding pageCoding);
    // A page that came only as fetched bytes (PageBytes, with its Content-Type): its coding
    // decided, shown and the text converted.
    CodingDecision readFetchedPage(const QByteArray& contentType, bool showLabel);
    // Handles events until done holds, checked as each of the socket's events comes, or limitMs
    // have passed; whether done holds.
    bool waitFor(int limitMs, const std::function<bool()>& done);
    // Whether the socket's reply has all come: the server closed the connection, the length it
    // declared has come, or the cap was reached.
    bool replyComplete() const;
    // Why the socket's reply that the wait ended with cannot be judged; empty when it can.
    QString unfinishedReply(bool complete) const;
    QString nowText() const;
    void report(const QString& prompt, const QString& title, Reporting how);

    void onConnected();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);

    const RouteFieldSource* m_fields = nullptr;
    CheckDisplay& m_display;
    CheckTimings m_timings;
    Clock m_clock = systemClock;
    CheckState m_check;

    QTcpSocket m_socket;
    ByteFetcher m_fetcher;
    PageRenderer m_renderer;
    RouteOptionsTable m_options;
    bool m_renderBatch = false;
    std::unique_ptr<Converter> m_replyDecoder; // one stateful decoder per reply
    QByteArray m_replyRaw;                     // the same reply as bytes, for deciding its coding
    qsizetype m_replyBytes = 0;
    qsizetype m_replyBodyStart = -1;     // where the reply's body begins, once its header has come
    std::optional<qint64> m_replyLength; // the body's length as its Content-Length declares it
    QEventLoop* m_waitLoop = nullptr;
    bool m_cancelled = false;
    bool m_pageObtained = false;
    bool m_bandsHold = false; // the route's Hours= holds over its valid-hours fields
    // The check's outcome as it stands, and what its record needs: the coding of the last page
    // read, the time the whole check took.
    CheckOutcome m_outcome;
    bool m_recorded = false; // the check reached a verdict worth a record
    QString m_failureDetail; // why the page was not served, for the verdict of a failed check
    std::optional<CodingDecision> m_pageCoding;
    QElapsedTimer m_checkTimer;
    int m_depth = 0;
};

} // namespace senrokan
