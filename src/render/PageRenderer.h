// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

class QEventLoop;
class QProcess;

namespace senrokan
{

// What a route read as the browser shows it tells while the browser package is missing.
inline const QString BrowserPackageNeeded =
    QStringLiteral("「ブラウザで読む」には senrokan-browser パッケージが必要です");

// A page as the browser engine showed it: its rendered text, or why there is none.
struct RenderedPage {
    bool ok = false;
    int status = 0;        // the page's HTTP status; 0 when no server answered
    QString text;          // the text the page shows once its scripts have written it
    int ms = 0;            // from the start of the page's reading to its text
    QString detail;        // why there is no text ("limit" when the page never settled)
    bool noEngine = false; // the engine is not installed or cannot run here: read the bytes
};

// Reads pages the way a browser shows them, through the helper program senrokan-render (shipped
// with the browser package): the engine costs some hundred megabytes and may hang on a page's
// scripts, so it runs in a short-lived process of its own that takes nothing else with it. One
// helper reads all the pages asked for side by side; finish() ends it and everything it started.
class PageRenderer : public QObject
{
    Q_OBJECT
public:
    // How long the helper gives a page before it reads as failed, and the margin past that
    // after which a helper that has not answered is taken for hung and killed.
    static constexpr int DefaultLimitMs = 10'000;
    static constexpr int HungMarginMs = 10'000;

    explicit PageRenderer(QObject* parent = nullptr);
    ~PageRenderer() override;

    // The helper's place beside the running program.
    static QString programFile();
    // Whether the helper is installed at program.
    static bool installed(const QString& program);

    void setProgram(const QString& program) { m_program = program; }
    void setLimits(int limitMs, int hungMarginMs)
    {
        m_limitMs = limitMs;
        m_hungMarginMs = hungMarginMs;
    }

    // Starts reading the pages; their reads later take what came.
    void prefetch(const QList<QUrl>& urls);
    // The page as read, waiting for it; a page not asked for before is read now.
    RenderedPage read(const QUrl& url);
    // Ends a waiting read at once, as failed.
    void abort();
    // Ends the helper and everything it started; the next read starts a new one.
    void finish();

private:
    void start();
    void ask(const QUrl& url);
    void takeOutput();
    RenderedPage unavailable(const QString& why) const;

    QString m_program;
    int m_limitMs = DefaultLimitMs;
    int m_hungMarginMs = HungMarginMs;
    QProcess* m_process = nullptr;
    long long m_leader = 0;
    QEventLoop* m_waitLoop = nullptr;
    QElapsedTimer m_lastAsked; // the hung limit runs from the last page asked for
    QHash<QString, int> m_ids; // the pages asked for, by address
    int m_lastId = 0;          // never reused, so that no answer is taken for another page's
    QHash<int, RenderedPage> m_pages;
    QByteArray m_partial; // output up to the end of a line still to come
    QString m_reason;     // the helper's last words on stderr
    QString m_noEngine;   // why the engine did not run, once it said so
    bool m_aborted = false;
};

} // namespace senrokan
