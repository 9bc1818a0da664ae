// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace senrokan
{

// The delay popup "運行情報": the delayed routes, one per line, above all other windows. It
// never takes the keyboard focus from what the user is typing in.
class Form3 : public QWidget
{
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);

    // Replaces the text and shows the popup where it was, on top.
    void showReport(const QString& text);
    QString text() const;

Q_SIGNALS:
    // The user closed the popup.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPlainTextEdit* m_richTextBox1;
};

} // namespace senrokan
