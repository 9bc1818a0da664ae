// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RouteOptionsBox.h"

#include "accessibility/ControlNames.h"
#include "render/PageRenderer.h"
#include "route/MaskedUrl.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace senrokan
{

namespace
{

// The days as Days= writes them, Monday first.
const QString DayLetters = QStringLiteral("月火水木金土日");

} // namespace

RouteOptionsBox::RouteOptionsBox(int route, const RouteOptions& options, QWidget* parent)
    : QWidget(parent)
{
    const QString r = QString::number(route);
    m_render = new QCheckBox(QStringLiteral("ブラウザで読む"), this);
    nameControl(m_render, QStringLiteral("RenderCheck") + r, m_render->text());
    m_render->setToolTip(
        QStringLiteral("ページをブラウザが表示するとおりに読んで一致ワードを探します。"
                       "スクリプトが書くページ向けです。"));
    auto* renderNote = new QLabel(
        BrowserPackageNeeded + QStringLiteral("。入っていない間はページのバイトを読みます。"),
        this);
    renderNote->setWordWrap(true);
    nameControl(renderNote, QStringLiteral("RenderNote") + r, renderNote->text());
    renderNote->setVisible(!PageRenderer::installed(PageRenderer::programFile()));

    m_feed = new QLineEdit(this);
    nameControl(m_feed, QStringLiteral("FeedText") + r, QStringLiteral("フィード"));
    m_feed->setToolTip(
        QStringLiteral("ページの代わりに読む公式の運行情報（ODPT か GTFS-Realtime）の"
                       "アドレス。「路線を選ぶ…」で埋まります。例: "
                       "https://api.odpt.org/api/v4/odpt:TrainInformation"));
    m_feed->installEventFilter(this);
    m_feedLine = new QLineEdit(this);
    nameControl(m_feedLine, QStringLiteral("FeedLineText") + r, QStringLiteral("路線ID"));
    m_feedLine->setToolTip(QStringLiteral("フィードの中でこの路線を指すID。"
                                          "例: odpt.Railway:TokyoMetro.Ginza"));

    auto* days = new QHBoxLayout;
    for (int d = 0; d < 7; ++d) {
        m_days.at(d) = new QCheckBox(DayLetters.at(d), this);
        nameControl(m_days.at(d), arrayElementName(QStringLiteral("DayCheck") + r, d + 1),
                    DayLetters.at(d) + QStringLiteral("曜日"));
        days->addWidget(m_days.at(d));
        connect(m_days.at(d), &QCheckBox::toggled, this, &RouteOptionsBox::daysToggled);
    }
    m_noHolidays = new QCheckBox(QStringLiteral("祝日は除く"), this);
    nameControl(m_noHolidays, QStringLiteral("HolidayCheck") + r, m_noHolidays->text());
    days->addWidget(m_noHolidays);
    m_confirm = new QSpinBox(this);
    m_confirm->setRange(1, 10);
    nameControl(m_confirm, QStringLiteral("ConfirmSpin") + r, QStringLiteral("確認回数"));
    m_confirm->setToolTip(
        QStringLiteral("遅れと読めたチェックがこの回数続いてから知らせます。"
                       "すぐ戻る短い遅れを知らせないためです。1なら毎回知らせます。"));
    days->addWidget(makeBuddyLabel(QStringLiteral("確認回数"), m_confirm,
                                   QStringLiteral("ConfirmLabel") + r, this));
    days->addWidget(m_confirm);
    days->addStretch();

    m_hours = new QLineEdit(this);
    nameControl(m_hours, QStringLiteral("HoursText") + r, QStringLiteral("時間帯"));
    m_hours->setPlaceholderText(QStringLiteral("例: 07:00-09:30,17:30-19:30"));
    m_hours->setToolTip(QStringLiteral(
        "この時間帯だけチェックします（例: 07:00-09:30,17:30-19:30。23:00-01:00 のように日付を"
        "またいでもかまいません）。時間帯の外は「時間外」になり、サーバに接続しません。"
        "空欄なら一日中（有効時間帯の欄があればその間）です。書くと有効時間帯の欄より優先されます"
        "。"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_render, 0, 0, 1, 2);
    grid->addWidget(renderNote, 1, 0, 1, 2);
    grid->addWidget(
        makeBuddyLabel(QStringLiteral("フィード"), m_feed, QStringLiteral("FeedLabel") + r, this),
        2, 0);
    grid->addWidget(m_feed, 2, 1);
    grid->addWidget(makeBuddyLabel(QStringLiteral("路線ID"), m_feedLine,
                                   QStringLiteral("FeedLineLabel") + r, this),
                    3, 0);
    grid->addWidget(m_feedLine, 3, 1);
    grid->addLayout(days, 4, 0, 1, 2);
    grid->addWidget(
        makeBuddyLabel(QStringLiteral("時間帯"), m_hours, QStringLiteral("HoursLabel") + r, this),
        5, 0);
    grid->addWidget(m_hours, 5, 1);
    grid->setColumnStretch(1, 1);

    show(options);
    connect(m_render, &QCheckBox::toggled, this, [this](bool on) {
        m_options.render = on;
        Q_EMIT edited();
    });
    connect(m_feedLine, &QLineEdit::editingFinished, this, [this] {
        if (m_feedLine->text().trimmed() == m_options.feedLine)
            return;
        m_options.feedLine = m_feedLine->text().trimmed();
        Q_EMIT edited();
    });
    connect(m_hours, &QLineEdit::editingFinished, this, [this] {
        if (m_hours->text().trimmed() == m_options.hours)
            return;
        m_options.hours = m_hours->text().trimmed();
        Q_EMIT edited();
    });
    connect(m_noHolidays, &QCheckBox::toggled, this, [this](bool on) {
        m_options.holidays = !on;
        Q_EMIT edited();
    });
    connect(m_confirm, &QSpinBox::valueChanged, this, [this](int n) {
        m_options.confirm = n;
        Q_EMIT edited();
    });
}

void RouteOptionsBox::setOptions(const RouteOptions& options)
{
    show(options);
}

void RouteOptionsBox::show(const RouteOptions& options)
{
    m_options = options;
    const QList<QWidget*> controls = {m_render,     m_feed,    m_feedLine,
                                      m_noHolidays, m_confirm, m_hours};
    for (QWidget* control : controls)
        control->blockSignals(true);
    m_render->setChecked(options.render);
    showFeed();
    m_feedLine->setText(options.feedLine);
    for (int d = 0; d < 7; ++d) {
        const QSignalBlocker quiet(m_days.at(d));
        m_days.at(d)->setChecked(options.days.isEmpty() || options.days.contains(DayLetters.at(d)));
    }
    m_noHolidays->setChecked(!options.holidays);
    m_confirm->setValue(options.confirm);
    m_hours->setText(options.hours);
    for (QWidget* control : controls)
        control->blockSignals(false);
}

void RouteOptionsBox::showFeed()
{
    // The address may carry a consumer key: shown whole only to the one editing it.
    const QSignalBlocker quiet(m_feed);
    m_feed->setText(m_feed->hasFocus() ? m_options.feed
                                       : maskedUrlText(QUrl(m_options.feed)).trimmed());
}

bool RouteOptionsBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_feed && event->type() == QEvent::FocusIn) {
        const QSignalBlocker quiet(m_feed);
        m_feed->setText(m_options.feed);
    } else if (watched == m_feed && event->type() == QEvent::FocusOut) {
        const QString feed = m_feed->text().trimmed();
        const bool changed = feed != m_options.feed;
        m_options.feed = feed;
        showFeed();
        if (changed)
            Q_EMIT edited();
    }
    return QWidget::eventFilter(watched, event);
}

void RouteOptionsBox::daysToggled()
{
    QString days;
    for (int d = 0; d < 7; ++d)
        if (m_days.at(d)->isChecked())
            days += DayLetters.at(d);
    // A route watched on no day would never warn: the last day stays ticked.
    if (days.isEmpty()) {
        show(m_options);
        return;
    }
    // Every day is written as no choice, as a file without the key says it.
    m_options.days = days == DayLetters ? QString() : days;
    Q_EMIT edited();
}

} // namespace senrokan
