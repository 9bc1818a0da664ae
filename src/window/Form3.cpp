// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Form3.h"

#include "accessibility/ControlNames.h"

#include <QAbstractTextDocumentLayout>
#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWindow>

#include <memory>

namespace senrokan
{

namespace
{

const QString Caption = QStringLiteral("運行情報");
// The client area at 96 dpi: 3744 x 1968 twips at 15 twips per pixel; the text box 8 pixels in.
// It never gets smaller.
constexpr QSize DesignSize(250, 131);
constexpr int Margin = 8;
// Lines of about this many full-width characters read easily: five routes with reasons of 200
// characters fit most screens. A screen too low for them gets lines up to twice as long.
constexpr int ReadingChars = 40;
constexpr int RouteGap = 8;  // above each route but the first
constexpr int ButtonGap = 8; // between a title and its button
constexpr int Indent = 12;   // of the lines under a title
const QString QuietText = QStringLiteral("今日は知らせない");
const QString QuietDoneText = QStringLiteral("知らせません");
const QString QuietTip =
    QStringLiteral("この路線の遅れを今日はもう知らせません（チェックと記録は続けます）");

} // namespace

Form3::Form3(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(Caption);
    nameControl(this, QStringLiteral("Form3"), Caption);
    // Shown while the user may be typing elsewhere: it must not take the focus.
    setAttribute(Qt::WA_ShowWithoutActivating);

    m_richTextBox1 = new QTextEdit(this);
    m_richTextBox1->setReadOnly(true);
    m_richTextBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A reason may hold an address or a long run of Latin letters.
    m_richTextBox1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    nameControl(m_richTextBox1, QStringLiteral("Form3.RichTextBox1"),
                QStringLiteral("遅れている路線"));
    // On a screen too small for the text the buttons scroll with it.
    connect(m_richTextBox1->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &Form3::placeButtons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    layout->addWidget(m_richTextBox1);
    resize(DesignSize);
}

void Form3::showReport(const QList<PopupEntry>& entries)
{
    clearButtons();
    QTextDocument* document = m_richTextBox1->document();
    document->clear();
    QTextCursor cursor(document);
    auto startBlock = [&](const QTextBlockFormat& format, const QTextCharFormat& chars) {
        if (document->isEmpty())
            cursor.setBlockFormat(format);
        else
            cursor.insertBlock(format);
        cursor.setCharFormat(chars);
    };
    QTextCharFormat titleChars;
    titleChars.setFontWeight(QFont::Bold);
    QTextCharFormat timeChars;
    timeChars.setForeground(palette().brush(QPalette::PlaceholderText));
    const QTextCharFormat reasonChars;
    QTextBlockFormat lineBlock;
    lineBlock.setLeftMargin(Indent);
    const int lineHeight = m_richTextBox1->fontMetrics().height();

    for (const PopupEntry& entry : entries) {
        auto* button = new QPushButton(QStringLiteral("ページを開く"), m_richTextBox1->viewport());
        nameControl(button, arrayElementName(QStringLiteral("Form3.Command1"), entry.route),
                    entry.title + QStringLiteral(" のページを開く"));
        button->setEnabled(entry.hasPage);
        connect(button, &QPushButton::clicked, this,
                [this, route = entry.route] { Q_EMIT pageRequested(route); });
        auto* quiet = new QPushButton(QuietText, m_richTextBox1->viewport());
        nameControl(quiet, arrayElementName(QStringLiteral("Form3.QuietButton"), entry.route),
                    entry.title + QStringLiteral(" を") + QuietText);
        quiet->setToolTip(QuietTip);
        connect(quiet, &QPushButton::clicked, this,
                [this, route = entry.route] { Q_EMIT quietRequested(route); });
        // The title and the time stand beside the buttons, leave room for them and are together
        // at least as tall as they are.
        const QSize buttonSize = button->sizeHint();
        const bool timed = !entry.checkTime.isEmpty();
        const int pad = qMax(0, buttonSize.height() - lineHeight * (timed ? 2 : 1));
        QTextBlockFormat titleBlock;
        titleBlock.setTopMargin(pad / 2 + (document->isEmpty() ? 0 : RouteGap));
        titleBlock.setRightMargin(buttonSize.width() + quiet->sizeHint().width() + 2 * ButtonGap);
        QTextBlockFormat timeBlock = lineBlock;
        timeBlock.setRightMargin(titleBlock.rightMargin());
        (timed ? timeBlock : titleBlock).setBottomMargin(pad - pad / 2);

        startBlock(titleBlock, titleChars);
        const int firstBlock = cursor.blockNumber();
        // Plain text, as typed: markup in a title or a reason stays visible as such.
        cursor.insertText(entry.title + QChar(0x3000));
        if (timed) {
            startBlock(timeBlock, timeChars);
            cursor.insertText(QStringLiteral("確認時刻 ") + entry.checkTime);
        }
        m_buttons.append({entry.route, button, quiet, firstBlock, cursor.blockNumber()});
        if (entry.reason.isEmpty())
            continue;
        for (const QString& line : entry.reason.split(u'\n')) {
            startBlock(lineBlock, reasonChars);
            cursor.insertText(line);
        }
    }
    present();
}

QString Form3::text() const
{
    return m_richTextBox1->toPlainText();
}

void Form3::markQuiet(int route, bool quiet)
{
    for (const PageButton& page : std::as_const(m_buttons)) {
        if (page.route != route)
            continue;
        page.quiet->setText(quiet ? QuietDoneText : QuietText);
        page.quiet->setEnabled(!quiet);
    }
    placeButtons();
}

void Form3::closeEvent(QCloseEvent* event)
{
    event->accept();
    Q_EMIT closed();
}

void Form3::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeButtons();
}

void Form3::clearButtons()
{
    for (const PageButton& page : std::as_const(m_buttons)) {
        delete page.button;
        delete page.quiet;
    }
    m_buttons.clear();
}

void Form3::present()
{
    fitToContents();
    show();
    raise();
    placeButtons();
}

void Form3::fitToContents()
{
    const bool shownBefore = windowHandle() != nullptr;
    // Once made, the window knows the size of its frame on most platforms.
    create();
    const QMargins frame = windowHandle()->frameMargins();
    const QRect available = screen()->availableGeometry().marginsRemoved(frame);
    const int chrome = 2 * (Margin + m_richTextBox1->frameWidth());
    // Measured on a copy: the box lays its own document out again as its scroll bar comes and
    // goes.
    const std::unique_ptr<QTextDocument> document(m_richTextBox1->document()->clone());
    const auto heightAt = [&](int width) {
        document->setTextWidth(width - chrome);
        return qCeil(document->size().height()) + chrome;
    };
    const int reading = qMax(
        DesignSize.width(), ReadingChars * fontMetrics().horizontalAdvance(QChar(0x3042)) + chrome);
    int width = qMin(reading, available.width());
    int height = heightAt(width);
    if (height > available.height()) {
        width = qMin(2 * reading, available.width());
        height = heightAt(width);
    }
    const QSize size(width, qBound(DesignSize.height(), height, available.height()));
    // Never shown, it goes where the window manager puts it.
    if (!shownBefore) {
        resize(size);
        return;
    }
    // Grown where it was shown before, it stays on its screen.
    QRect placed(geometry().topLeft(), size);
    placed.moveRight(qMin(placed.right(), available.right()));
    placed.moveBottom(qMin(placed.bottom(), available.bottom()));
    placed.moveLeft(qMax(placed.left(), available.left()));
    placed.moveTop(qMax(placed.top(), available.top()));
    setGeometry(placed);
}

void Form3::placeButtons()
{
    const QTextDocument* document = m_richTextBox1->document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const int scrolled = m_richTextBox1->verticalScrollBar()->value();
    const int right = m_richTextBox1->viewport()->width() - qRound(document->documentMargin());
    for (const PageButton& page : std::as_const(m_buttons)) {
        const QRectF beside =
            layout->blockBoundingRect(document->findBlockByNumber(page.firstBlock))
                .united(layout->blockBoundingRect(document->findBlockByNumber(page.lastBlock)));
        const QSize size = page.button->sizeHint();
        const int top = qRound(beside.center().y()) - size.height() / 2 - scrolled;
        page.button->setGeometry(right - size.width(), top, size.width(), size.height());
        const QSize quietSize = page.quiet->sizeHint();
        page.quiet->setGeometry(right - size.width() - ButtonGap - quietSize.width(), top,
                                quietSize.width(), size.height());
    }
}

} // namespace senrokan
