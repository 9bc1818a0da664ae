// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QGroupBox>
#include <QHash>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace senrokan
{

class CompanionSettings;
struct DeliveryOutcome;

// The frame "通知先" of the settings page: the report targets of Senrokan.ini, their secrets
// masked, each with the outcome of its last report; a URL to add, the selected one to remove,
// and "テスト送信", a test report to each, which the program sends.
class NotifyTargetsBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit NotifyTargetsBox(const CompanionSettings& companion, QWidget* parent = nullptr);

    // Reads the targets from the file again.
    void refresh();
    // The outcome of the last report to the target written as targetText: delivered, or the
    // error of its last try.
    void showOutcome(const QString& targetText, bool delivered, const QString& error);
    // A line under the list: a report's problem; empty clears it.
    void showMessage(const QString& text);

    QListWidget* list() const { return m_list; }
    QLineEdit* urlBox() const { return m_url; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* removeButton() const { return m_remove; }
    QPushButton* testButton() const { return m_test; }
    QLabel* messageLabel() const { return m_message; }

Q_SIGNALS:
    // "テスト送信": a test report to each target is wanted.
    void testRequested();

private:
    void add();
    void remove();

    const CompanionSettings& m_companion;
    QListWidget* m_list;
    QLineEdit* m_url;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_test;
    QLabel* m_message;
    QHash<QString, QString> m_outcomes; // last outcome by target text
};

} // namespace senrokan
