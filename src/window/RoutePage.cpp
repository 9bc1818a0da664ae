// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RoutePage.h"

#include "RouteWebView.h"
#include "accessibility/ControlNames.h"
#include "render/PageRenderer.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace senrokan
{

namespace
{

// Captions of the label array, element k labelling field k; [0] unused.
const std::array<QString, RouteFieldCount> LabelCaptions = {
    QString(),
    QStringLiteral("タイトル"),
    QStringLiteral("サーバ名"),
    QStringLiteral("ディレクトリ名"),
    QStringLiteral("一致ワード"),
    QStringLiteral("ポート番号"),
    QStringLiteral("遅延時ﾃﾞｨﾚｸﾄﾘ名"),
    QStringLiteral("有効時間帯"),
    QStringLiteral(" ～"),
    QStringLiteral("サブタイトル"),
};

const QString PortDesignText = QStringLiteral("80");

// Columns of the page: labels, left boxes, the " ～" between the time boxes, right boxes,
// and the web view taking the right half.
enum Column { LabelColumn, LeftColumn, BetweenColumn, RightColumn, WebColumn };

} // namespace

RoutePage::RoutePage(int route, QWidget* parent) : QWidget(parent)
{
    const QString textArray = QStringLiteral("Text%1").arg(route);
    const QString labelArray = QStringLiteral("Label%1").arg(route);

    for (int k = 1; k <= RouteFieldCount; ++k) {
        auto* box = new QLineEdit(this);
        // A field holds whatever its file line held; Qt's default cap of 32767 would cut it.
        box->setMaxLength(std::numeric_limits<int>::max());
        // The box right of "サブタイトル" has no label of its own and shares that row's name.
        const QString spoken = LabelCaptions.at(k == SubtitleEnd ? SubtitleStart : k);
        nameControl(box, arrayElementName(textArray, k), spoken);
        m_text.at(k) = box;
        // Whatever is put into the box itself is the field from then on.
        connect(box, &QLineEdit::textChanged, this, [this, k] { m_unshown.at(k).reset(); });
    }
    setField(PortNumber, PortDesignText);
    for (int k = 1; k < RouteFieldCount; ++k) {
        auto* label = new QLabel(LabelCaptions.at(k), this);
        label->setTextFormat(Qt::PlainText);
        label->setBuddy(m_text.at(k));
        nameControl(label, arrayElementName(labelArray, k), LabelCaptions.at(k));
        m_label.at(k) = label;
    }
    m_command = new QPushButton(QStringLiteral("送信"), this);
    nameControl(m_command, arrayElementName(QStringLiteral("Command%1").arg(route), 1),
                m_command->text());

    m_render = new QCheckBox(QStringLiteral("ブラウザで読む"), this);
    nameControl(m_render, QStringLiteral("RenderCheck%1").arg(route), m_render->text());
    m_renderNote = new QLabel(
        QStringLiteral("「ブラウザで読む」には senrokan-browser パッケージが必要です。"
                       "入っていない間はページのバイトを読みます。"),
        this);
    m_renderNote->setWordWrap(true);
    nameControl(m_renderNote, QStringLiteral("RenderNote%1").arg(route), m_renderNote->text());
    m_renderNote->setVisible(!PageRenderer::installed(PageRenderer::programFile()));

    m_webBrowser = new RouteWebView(route, this);

    auto* grid = new QGridLayout(this);
    const int full = RightColumn - LeftColumn + 1;
    int row = 0;
    for (const int k : {Title, ServerName, DirectoryName, MatchWord, PortNumber, DelayDirectoryName,
                        ValidFrom, SubtitleStart}) {
        grid->addWidget(m_label.at(k), row, LabelColumn);
        const bool wide = k != PortNumber && k != ValidFrom && k != SubtitleStart;
        grid->addWidget(m_text.at(k), row, LeftColumn, 1, wide ? full : 1);
        ++row;
    }
    const int portRow = PortNumber - 1;
    const int timeRow = portRow + 2;
    grid->addWidget(m_command, portRow, RightColumn);
    grid->addWidget(m_label.at(ValidTo), timeRow, BetweenColumn);
    grid->addWidget(m_text.at(ValidTo), timeRow, RightColumn);
    grid->addWidget(m_text.at(SubtitleEnd), timeRow + 1, RightColumn);
    grid->addWidget(m_render, row++, LabelColumn, 1, full + 1);
    grid->addWidget(m_renderNote, row++, LabelColumn, 1, full + 1);
    grid->addWidget(m_webBrowser, 0, WebColumn, row + 1, 1);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(LeftColumn, 2);
    grid->setColumnStretch(RightColumn, 2);
    grid->setColumnStretch(WebColumn, 5);
}

QString RoutePage::field(int element) const
{
    const std::optional<QString>& unshown = m_unshown.at(element);
    return unshown ? *unshown : m_text.at(element)->text();
}

void RoutePage::setField(int element, const QString& text)
{
    if (m_boxesFilled)
        m_text.at(element)->setText(text);
    else
        m_unshown.at(element) = text;
}

void RoutePage::fillBoxes()
{
    m_boxesFilled = true;
    for (int k = 1; k <= RouteFieldCount; ++k) {
        if (const std::optional<QString> text = m_unshown.at(k))
            m_text.at(k)->setText(*text);
    }
}

} // namespace senrokan
