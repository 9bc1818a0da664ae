// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "StatusDecision.h"
#include "codec/PageCoding.h"
#include "render/PageRenderer.h"

#include <QString>

namespace senrokan
{

// Where a check shows what it does: the status field, the page-text area, the busy pointer and
// modal message boxes. The timed check never opens a message box.
class CheckDisplay
{
public:
    virtual ~CheckDisplay() = default;
    virtual void setStatusText(const QString& text) = 0;
    virtual void setPageText(const QString& text) = 0;
    // Sets the pointer's state; calling it twice with the same value changes nothing.
    virtual void setBusy(bool busy) = 0;
    // Modal: returns when the user has closed the box.
    virtual void showMessage(const QString& prompt, const QString& title) = 0;
    // A question answered はい or いいえ, modal; true for はい. Where none can be asked, the
    // prompt is shown and the answer is いいえ.
    virtual bool askQuestion(const QString& prompt, const QString& title)
    {
        showMessage(prompt, title);
        return false;
    }
    // Why an HTTPS page was not served (the TLS error, a refused redirect, the status), for
    // whoever can show more than "接続失敗"; the window has no place for it.
    virtual void setFailureDetail(const QString& detail) { Q_UNUSED(detail); }
    // A route setting that could not be read and what the check did instead; said on every
    // check it affects, in the status field unless there is a better place.
    virtual void setSettingProblem(const QString& problem) { setStatusText(problem); }
    // The coding a page was read in and what settled it, for every page a check reads.
    virtual void setPageCoding(const CodingDecision& decision) { Q_UNUSED(decision); }
    // How the browser engine read a page of a route read as the browser shows it: the time it
    // took, why it failed, or why the engine was not there and the bytes were read instead.
    virtual void setRenderOutcome(const RenderedPage& page) { Q_UNUSED(page); }
    // How often the match word occurs in the text that was judged, once a page has its verdict.
    virtual void setMatchCount(const MatchCount& count) { Q_UNUSED(count); }
};

} // namespace senrokan
