// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <QUrl>

class QWebEngineCertificateError;
class QWebEngineLoadingInfo;
class QWebEnginePage;
class QWebEngineProfile;

namespace senrokan::render
{

// How long a page may take, and how long it must stay quiet before its text counts.
struct ReadingTimes {
    int limitMs = 10000;
    int quietMs = 1000;
};

// Reads one page as the browser shows it: loads it in a page of the private profile, waits until
// it has loaded and then been quiet, and answers with its rendered text, or fails at the limit.
// Answers exactly once, through answered(), and deletes itself after.
class PageReader : public QObject
{
    Q_OBJECT

public:
    PageReader(QWebEngineProfile* profile, qint64 id, const QUrl& url, ReadingTimes times);
    ~PageReader() override;

    // The script the profile runs in every page's main world as its document is made: it counts
    // the requests in flight and the short timers pending, remembers when the text last changed
    // and reads the text.
    static QString watchScript();

Q_SIGNALS:
    void answered(const QJsonObject& answer);

private:
    void loadingChanged(const QWebEngineLoadingInfo& info);
    void certificateError(const QWebEngineCertificateError& error);
    void sample();
    void limitReached();
    void succeed(const QString& text, bool quiet);
    void fail(int status, const QString& detail);
    void finish(QJsonObject answer);

    qint64 m_id;
    ReadingTimes m_times;
    QWebEnginePage* m_page = nullptr;
    QElapsedTimer m_clock;
    QTimer m_sampler;
    QTimer m_limit;
    int m_status = 0;
    bool m_https = false; // the page asked for is on https, so it must stay there
    bool m_loaded = false;
    bool m_sampling = false; // a sample asked for and not answered yet
    bool m_done = false;
    qint64 m_lastSampleAt = -1; // when the page last answered a sample, on m_clock
    QString m_lastText;
    QString m_tlsRefusal;
};

} // namespace senrokan::render
