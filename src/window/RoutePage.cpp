// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RoutePage.h"

#include "LinePickerDialog.h"
#include "RouteOptionsBox.h"
#include "RouteWebView.h"
#include "accessibility/ControlNames.h"
#include "feed/OdptLines.h"
#include "route/RouteAddress.h"
#include "settings/RouteSettings.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>
#include <utility>

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

// What each field takes, with an example, as its tooltip; [0] unused.
const std::array<QString, RouteFieldCount + 1> FieldTips = {
    QString(),
    QStringLiteral("路線の名前。タブの見出しと通知に使います。例: 山手線"),
    QStringLiteral("運行情報のページがあるサーバの名前、またはページのアドレス全体。"
                   "例: traininfo.example.jp、http://traininfo.example.jp:8080/unkou/kanto.html"),
    QStringLiteral("そのページのパス。先頭の「/」は付けません。サーバ名がパスまでのアドレスなら"
                   "使いません。例: unkou/kanto.html"),
    QStringLiteral("平常時にページに出る言葉。あれば平常運転、なければ遅れと判断します。"
                   "例: 平常運転"),
    QStringLiteral("サーバ名がホスト名だけのときに接続するポート番号。例: 8080"),
    QStringLiteral("ページが得られないときに代わりに読むページのパス。空なら読みません。"
                   "例: unkou/delay.html"),
    QStringLiteral("確認する時間帯の始まり。両方空なら終日。例: 6:00"),
    QStringLiteral("確認する時間帯の終わり。例: 23:30"),
    QStringLiteral("一致ワードを探す区間の始まりの言葉。空ならページ全体を探します。"
                   "例: 山手線"),
    QStringLiteral("区間の終わりの言葉。空ならページの終わりまで探します。例: 京浜東北線"),
};

// Columns of the page: labels, left boxes, the " ～" between the time boxes, right boxes,
// and the web view taking the right half.
enum Column { LabelColumn, LeftColumn, BetweenColumn, RightColumn, WebColumn };

} // namespace

RoutePage::RoutePage(int route, RouteSettings& routes, LineReader readLines, QWidget* parent)
    : QWidget(parent), m_route(route), m_routes(routes), m_readLines(std::move(readLines))
{
}

QString RoutePage::field(int element) const
{
    return m_routes.routeField(m_route, element);
}

void RoutePage::setField(int element, const QString& text)
{
    m_routes.setRouteField(m_route, element, text);
    if (m_madeControls && m_text.at(element)->text() != text)
        m_text.at(element)->setText(text);
}

void RoutePage::showFields()
{
    if (!m_madeControls)
        return;
    for (int k = 1; k <= RouteFieldCount; ++k) {
        const QString text = field(k);
        // Set only where it differs: setting a box moves its cursor.
        if (m_text.at(k)->text() != text)
            m_text.at(k)->setText(text);
    }
}

void RoutePage::setOptions(const RouteOptions& options)
{
    setField(PortNumber, options.port);
    if (m_options)
        m_options->setOptions(options);
    else
        m_unshownOptions = options;
}

RouteOptions RoutePage::options() const
{
    RouteOptions options = m_options ? m_options->options() : m_unshownOptions;
    options.port = field(PortNumber);
    return options;
}

void RoutePage::makeControls()
{
    if (m_madeControls)
        return;
    m_madeControls = true;
    const QString textArray = QStringLiteral("Text%1").arg(m_route);
    const QString labelArray = QStringLiteral("Label%1").arg(m_route);

    for (int k = 1; k <= RouteFieldCount; ++k) {
        auto* box = new QLineEdit(this);
        // A field holds whatever its file line held; Qt's default cap of 32767 would cut it.
        box->setMaxLength(std::numeric_limits<int>::max());
        // The box right of "サブタイトル" has no label of its own and shares that row's name.
        const QString spoken = LabelCaptions.at(k == SubtitleEnd ? SubtitleStart : k);
        nameControl(box, arrayElementName(textArray, k), spoken);
        box->setText(field(k));
        box->setToolTip(FieldTips.at(k));
        // Each edit lands in the route's owner at once: a check reads the fields as they stand.
        connect(box, &QLineEdit::textChanged, this,
                [this, k](const QString& text) { m_routes.setRouteField(m_route, k, text); });
        m_text.at(k) = box;
    }
    for (int k = 1; k < RouteFieldCount; ++k) {
        auto* label = new QLabel(LabelCaptions.at(k), this);
        label->setTextFormat(Qt::PlainText);
        label->setBuddy(m_text.at(k));
        nameControl(label, arrayElementName(labelArray, k), LabelCaptions.at(k));
        m_label.at(k) = label;
    }
    m_command = new QPushButton(QStringLiteral("送信"), this);
    nameControl(m_command, arrayElementName(QStringLiteral("Command%1").arg(m_route), 1),
                m_command->text());
    connect(m_command, &QPushButton::clicked, this, &RoutePage::sendClicked);
    m_chooseLine = new QPushButton(QStringLiteral("路線を選ぶ…"), this);
    nameControl(m_chooseLine, QStringLiteral("ChooseLine%1").arg(m_route), m_chooseLine->text());
    m_chooseLine->setToolTip(QStringLiteral("事業者と路線の一覧から選ぶと、タイトル・一致ワード・"
                                            "フィード・路線IDを埋めます"));
    connect(m_chooseLine, &QPushButton::clicked, this, &RoutePage::chooseLine);

    m_options = new RouteOptionsBox(m_route, m_unshownOptions, this);
    connect(m_options, &RouteOptionsBox::edited, this, &RoutePage::optionsEdited);
    // The port is kept with the options, saved once it is typed.
    connect(m_text.at(PortNumber), &QLineEdit::editingFinished, this, &RoutePage::takePort);

    m_webBrowser = new RouteWebView(m_route, this);

    auto* grid = new QGridLayout(this);
    const int full = RightColumn - LeftColumn + 1;
    int row = 0;
    for (const int k : {Title, ServerName, DirectoryName, MatchWord, PortNumber, DelayDirectoryName,
                        ValidFrom, SubtitleStart}) {
        grid->addWidget(m_label.at(k), row, LabelColumn);
        const bool wide = k != PortNumber && k != ValidFrom && k != SubtitleStart;
        // The title leaves room for the button that fills it from a line.
        const int span = k == Title ? full - 1 : wide ? full : 1;
        grid->addWidget(m_text.at(k), row, LeftColumn, 1, span);
        ++row;
    }
    const int portRow = PortNumber - 1;
    const int timeRow = portRow + 2;
    grid->addWidget(m_chooseLine, Title - 1, RightColumn);
    grid->addWidget(m_command, portRow, RightColumn);
    grid->addWidget(m_label.at(ValidTo), timeRow, BetweenColumn);
    grid->addWidget(m_text.at(ValidTo), timeRow, RightColumn);
    grid->addWidget(m_text.at(SubtitleEnd), timeRow + 1, RightColumn);
    grid->addWidget(m_options, row++, LabelColumn, 1, full + 1);
    grid->addWidget(m_webBrowser, 0, WebColumn, row + 1, 1);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(LeftColumn, 2);
    grid->setColumnStretch(RightColumn, 2);
    grid->setColumnStretch(WebColumn, 5);
}

void RoutePage::takePort()
{
    QLineEdit* box = m_text.at(PortNumber);
    const QString typed = box->text().trimmed();
    const std::optional<quint16> port =
        typed.isEmpty() ? fieldPort(DefaultPortText) : fieldPort(typed);
    if (!port) {
        const QString why = QStringLiteral("ポート番号「%1」は使えません。1から65535の数で書いて"
                                           "ください（保存しません）")
                                .arg(typed);
        box->setToolTip(why);
        Q_EMIT fieldRefused(why);
        return;
    }
    box->setToolTip(FieldTips.at(PortNumber));
    setField(PortNumber, QString::number(*port));
    Q_EMIT optionsEdited();
}

void RoutePage::chooseLine()
{
    // Window-modal and not waited for: the dialog reads the API's list in the event loop, and
    // the page takes the line when it is accepted.
    auto* dialog = new LinePickerDialog(m_routes.companion(), m_readLines, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        m_routes.useLine(m_route, dialog->chosenLine(), dialog->access());
        showFields();
        setOptions(m_routes.options()[m_route]);
        Q_EMIT lineChosen();
    });
    dialog->open();
}

} // namespace senrokan
