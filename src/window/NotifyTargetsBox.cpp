// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "NotifyTargetsBox.h"

#include "accessibility/ControlNames.h"
#include "settings/CompanionSettings.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace senrokan
{

NotifyTargetsBox::NotifyTargetsBox(const CompanionSettings& companion, QWidget* parent)
    : QGroupBox(QStringLiteral("通知先"), parent), m_companion(companion)
{
    nameControl(this, QStringLiteral("NotifyTargets"), title());
    m_list = new QListWidget(this);
    nameControl(m_list, QStringLiteral("NotifyList"), title());
    m_url = new QLineEdit(this);
    m_url->setPlaceholderText(QStringLiteral("ntfy://ホスト/トピック"));
    nameControl(m_url, QStringLiteral("NotifyUrl"), QStringLiteral("通知先のURL"));
    m_add = new QPushButton(QStringLiteral("追加"), this);
    nameControl(m_add, QStringLiteral("NotifyAdd"), m_add->text());
    m_remove = new QPushButton(QStringLiteral("削除"), this);
    nameControl(m_remove, QStringLiteral("NotifyRemove"), m_remove->text());
    m_test = new QPushButton(QStringLiteral("テスト送信"), this);
    nameControl(m_test, QStringLiteral("NotifyTest"), m_test->text());
    m_message = new QLabel(this);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    nameControl(m_message, QStringLiteral("NotifyMessage"), QStringLiteral("通知の結果"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_list, 0, 0, 1, 3);
    grid->addWidget(m_url, 1, 0, 1, 2);
    grid->addWidget(m_add, 1, 2);
    grid->addWidget(m_remove, 2, 1);
    grid->addWidget(m_test, 2, 2);
    grid->addWidget(m_message, 3, 0, 1, 3);
    grid->setColumnStretch(0, 1);

    connect(m_add, &QPushButton::clicked, this, &NotifyTargetsBox::add);
    connect(m_url, &QLineEdit::returnPressed, this, &NotifyTargetsBox::add);
    connect(m_remove, &QPushButton::clicked, this, &NotifyTargetsBox::remove);
    connect(m_test, &QPushButton::clicked, this, [this] {
        m_message->setText(QStringLiteral("テスト送信中…"));
        Q_EMIT testRequested();
    });
}

void NotifyTargetsBox::showMessage(const QString& text)
{
    m_message->setText(text);
}

void NotifyTargetsBox::refresh()
{
    const CompanionValues values = m_companion.read();
    m_list->clear();
    for (const QString& text : values.targetTexts) {
        const QString outcome = m_outcomes.value(text);
        m_list->addItem(maskedTargetText(text) +
                        (outcome.isEmpty() ? QString() : QStringLiteral("  ― ") + outcome));
    }
    if (!values.unreadable.isEmpty())
        m_message->setText(values.unreadable);
}

void NotifyTargetsBox::add()
{
    const QString text = m_url->text();
    const SettingsWrite added = m_companion.addTarget(text);
    // A target taken parses; its warning, if any, stays in view until the next message.
    m_message->setText(added.done ? parseReportTarget(text, true)->warning() : added.failure);
    if (added.done)
        m_url->clear();
    refresh();
}

void NotifyTargetsBox::remove()
{
    if (m_list->currentRow() < 0)
        return;
    m_message->setText(m_companion.removeTarget(m_list->currentRow()).failure);
    refresh();
}

void NotifyTargetsBox::showOutcome(const QString& targetText, bool delivered, const QString& error)
{
    m_outcomes[targetText] =
        delivered ? QStringLiteral("送信しました") : QStringLiteral("失敗: ") + error;
    refresh();
}

} // namespace senrokan
