// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Form3.h"

#include "accessibility/ControlNames.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace senrokan
{

namespace
{

const QString Caption = QStringLiteral("運行情報");
// The client area at 96 dpi: 3744 x 1968 twips at 15 twips per pixel; the text box 8 pixels in.
constexpr QSize DesignSize(250, 131);
constexpr int Margin = 8;

} // namespace

Form3::Form3(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(Caption);
    nameControl(this, QStringLiteral("Form3"), Caption);
    // Shown while the user may be typing elsewhere: it must not take the focus.
    setAttribute(Qt::WA_ShowWithoutActivating);

    m_richTextBox1 = new QPlainTextEdit(this);
    m_richTextBox1->setReadOnly(true);
    nameControl(m_richTextBox1, QStringLiteral("Form3.RichTextBox1"),
                QStringLiteral("遅れている路線"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    layout->addWidget(m_richTextBox1);
    resize(DesignSize);
}

void Form3::showReport(const QString& text)
{
    m_richTextBox1->setPlainText(text);
    show();
    raise();
}

QString Form3::text() const
{
    return m_richTextBox1->toPlainText();
}

void Form3::closeEvent(QCloseEvent* event)
{
    event->accept();
    Q_EMIT closed();
}

} // namespace senrokan
