// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "StartupShortcut.h"

#include "base/Failure.h"
#include "platform/LocalFiles.h"
#include "platform/StartupEntry.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace senrokan
{

namespace
{

const QString BoxTitle = QStringLiteral("メッセージ");

} // namespace

StartupShortcut::StartupShortcut(QPushButton* command20, QPushButton* command21, QWidget* boxParent)
    : QObject(boxParent), m_boxParent(boxParent)
{
    connect(command20, &QPushButton::clicked, this, &StartupShortcut::Command20_Click);
    connect(command21, &QPushButton::clicked, this, &StartupShortcut::Command21_Click);
}

void StartupShortcut::Command20_Click()
{
    if (!confirmed(QStringLiteral("　スタートアップに登録するしてもいいですか？")))
        return;
    try {
        // A folder whose name is not valid text has none the entry could hold; an empty one is
        // refused.
        platform::addStartupEntry(QCoreApplication::applicationFilePath(),
                                  platform::currentDirectoryName().value_or(QString()));
    } catch (const Failure& failure) {
        showFailure(failure);
    }
}

void StartupShortcut::Command21_Click()
{
    if (!confirmed(QStringLiteral("　スタートアップから削除してもいいですか？")))
        return;
    try {
        platform::removeStartupEntry();
    } catch (const Failure& failure) {
        showFailure(failure);
    }
}

bool StartupShortcut::confirmed(const QString& question) const
{
    QMessageBox box(QMessageBox::NoIcon, BoxTitle, question, QMessageBox::Yes | QMessageBox::No,
                    m_boxParent);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

void StartupShortcut::showFailure(const Failure& failure) const
{
    QMessageBox box(QMessageBox::Information, BoxTitle, failure.description(), QMessageBox::Ok,
                    m_boxParent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace senrokan
