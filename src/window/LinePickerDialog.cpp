// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "LinePickerDialog.h"

#include "accessibility/ControlNames.h"
#include "route/MaskedUrl.h"
#include "settings/CompanionSettings.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace senrokan
{

namespace
{

const QString Caption = QStringLiteral("路線を選ぶ");

} // namespace

LinePickerDialog::LinePickerDialog(const CompanionSettings& companion, LineReader readLines,
                                   QWidget* parent)
    : QDialog(parent), m_companion(companion),
      m_readLines(std::move(readLines)), m_list{shippedOdptLines(), {}}
{
    setWindowTitle(Caption);
    nameControl(this, QStringLiteral("LinePicker"), Caption);
    resize(560, 520);

    m_search = new QLineEdit(this);
    nameControl(m_search, QStringLiteral("LineSearch"), QStringLiteral("路線を探す"));
    m_search->setPlaceholderText(QStringLiteral("路線名・事業者名・ID（例: 銀座、Ginza、ぎんざ）"));
    m_search->setClearButtonEnabled(true);

    m_tree = new QTreeWidget(this);
    nameControl(m_tree, QStringLiteral("LineTree"), QStringLiteral("事業者と路線"));
    m_tree->setHeaderLabels({QStringLiteral("事業者・路線"), QStringLiteral("ID")});
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    auto* fields = new QGridLayout;
    fields->addWidget(
        makeBuddyLabel(QStringLiteral("検索"), m_search, QStringLiteral("LineSearchLabel"), this),
        0, 0);
    fields->addWidget(m_search, 0, 1);
    // A key once saved is never shown again, even masked; the field stays, so a wrong one can be
    // replaced, and a button takes it away.
    const bool keySaved = !m_companion.read().odpt.consumerKey.isEmpty();
    m_key = new QLineEdit(this);
    nameControl(m_key, QStringLiteral("ConsumerKeyText"), QStringLiteral("コンシューマキー"));
    m_key->setEchoMode(QLineEdit::Password);
    m_key->setPlaceholderText(
        keySaved ? QStringLiteral("保存したキーを使います（変えるときだけ入力）")
                 : QStringLiteral("なければ空のまま（キー不要の事業者だけ読めます）"));
    m_key->setToolTip(QStringLiteral("ODPTの開発者サイト（developer.odpt.org）で登録すると得られる"
                                     "キー。Enterで一覧を読み直し、路線を選ぶと Senrokan.ini に"
                                     "保存します"));
    // Enter here reads the list with the key, rather than taking a line.
    m_key->installEventFilter(this);
    fields->addWidget(makeBuddyLabel(QStringLiteral("コンシューマキー"), m_key,
                                     QStringLiteral("ConsumerKeyLabel"), this),
                      1, 0);
    fields->addWidget(m_key, 1, 1);
    if (keySaved) {
        auto* forget = new QPushButton(QStringLiteral("保存したキーを消す"), this);
        nameControl(forget, QStringLiteral("ForgetConsumerKey"), forget->text());
        fields->addWidget(forget, 1, 2);
        connect(forget, &QPushButton::clicked, this, [this, forget] {
            const SettingsWrite saved = m_companion.saveConsumerKey(QString());
            if (!saved.done) {
                m_source->setText(saved.failure);
                return;
            }
            forget->setEnabled(false);
            m_key->setPlaceholderText(
                QStringLiteral("なければ空のまま（キー不要の事業者だけ読めます）"));
            this->readLines();
        });
    }

    m_source = new QLabel(this);
    m_source->setTextFormat(Qt::PlainText);
    m_source->setWordWrap(true);
    nameControl(m_source, QStringLiteral("LineSource"), QStringLiteral("一覧の出どころ"));

    m_reload = new QPushButton(QStringLiteral("一覧を読み直す"), this);
    nameControl(m_reload, QStringLiteral("ReloadLines"), m_reload->text());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(QStringLiteral("OK"));
    nameControl(m_ok, QStringLiteral("LinePickerOk"), m_ok->text());
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setText(QStringLiteral("キャンセル"));
    nameControl(cancel, QStringLiteral("LinePickerCancel"), cancel->text());

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_reload);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_source);
    layout->addLayout(bottom);

    connect(m_search, &QLineEdit::textChanged, this, &LinePickerDialog::showLines);
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this] { m_ok->setEnabled(selectedLine().has_value()); });
    connect(m_tree, &QTreeWidget::itemActivated, this, [this] {
        if (selectedLine())
            accept();
    });
    connect(m_reload, &QPushButton::clicked, this, &LinePickerDialog::readLines);
    connect(buttons, &QDialogButtonBox::accepted, this, &LinePickerDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LinePickerDialog::reject);

    showLines();
    m_search->setFocus();
    // Once the dialog is up: the shipped list is there to choose from while the API answers.
    QTimer::singleShot(0, this, &LinePickerDialog::readLines);
}

void LinePickerDialog::accept()
{
    const std::optional<OdptLine> line = selectedLine();
    if (!line)
        return;
    if (const QString key = m_key->text().trimmed(); !key.isEmpty()) {
        if (const SettingsWrite saved = m_companion.saveConsumerKey(key); !saved.done) {
            m_source->setText(saved.failure);
            return;
        }
    }
    m_chosen = *line;
    m_access = m_companion.read().odpt;
    QDialog::accept();
}

void LinePickerDialog::readLines()
{
    if (m_reading)
        return;
    const QString key = m_key->text().trimmed();
    const OdptAccess access =
        key.isEmpty() ? m_companion.read().odpt : m_companion.odptWithKey(key);
    m_reading = true;
    m_reload->setEnabled(false);
    setCursor(Qt::BusyCursor);
    showSource();
    // The read runs the event loop for up to its time limit, during which the dialog may be
    // closed, and with its page, destroyed.
    const QPointer<LinePickerDialog> self(this);
    OdptLineList list = m_readLines(access);
    if (!self)
        return;
    m_reading = false;
    m_reload->setEnabled(true);
    unsetCursor();
    if (list.shippedBecause.isEmpty() && list.lines.isEmpty())
        list = {shippedOdptLines(), QStringLiteral("ODPTのAPIの一覧に路線がありません")};
    m_list = std::move(list);
    m_listBase = m_list.shippedBecause.isEmpty() ? access.base : QString();
    showLines();
}

void LinePickerDialog::showLines()
{
    const QString query = m_search->text();
    const std::optional<OdptLine> selected = selectedLine();
    QList<OdptLine> found = findOdptLines(m_list.lines, query);
    if (found.isEmpty()) {
        if (const std::optional<OdptLine> typed = odptLine(m_list.lines, query.trimmed()))
            found.append(*typed);
    }
    const QSignalBlocker quiet(m_tree);
    m_tree->clear();
    QHash<QString, QTreeWidgetItem*> operators;
    QTreeWidgetItem* current = nullptr;
    for (const OdptLine& line : found) {
        QTreeWidgetItem*& parent = operators[line.operatorId];
        if (!parent) {
            parent = new QTreeWidgetItem(m_tree, {line.operatorName, line.operatorId});
            parent->setFlags(Qt::ItemIsEnabled); // an operator is no line to choose
        }
        auto* item = new QTreeWidgetItem(parent, {line.name, line.id});
        item->setData(0, Qt::UserRole, line.id);
        if (selected && selected->id == line.id)
            current = item;
    }
    // A search shows what it found open, its first line ready for OK; so does a list of a few
    // operators.
    constexpr int FewOperators = 3;
    const bool narrowed = !query.trimmed().isEmpty();
    if (narrowed || operators.size() <= FewOperators)
        m_tree->expandAll();
    if (!current && narrowed && m_tree->topLevelItemCount() > 0)
        current = m_tree->topLevelItem(0)->child(0);
    if (current) {
        current->parent()->setExpanded(true);
        m_tree->setCurrentItem(current);
    }
    m_ok->setEnabled(current != nullptr);
    m_noHits = narrowed && found.isEmpty() ? query.trimmed() : QString();
    showSource();
}

bool LinePickerDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_key && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            readLines();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void LinePickerDialog::showSource()
{
    const qsizetype count = m_list.lines.size();
    QString text =
        m_listBase.isEmpty()
            ? QStringLiteral("Senrokan 同梱の一覧（2017～2024年の識別子、%1路線）です").arg(count)
            : QStringLiteral("ODPTのAPI（%1）から読んだ一覧です（%2路線）")
                  .arg(maskedUrlText(QUrl(m_listBase)).trimmed())
                  .arg(count);
    if (!m_list.shippedBecause.isEmpty())
        text += QStringLiteral("。") + m_list.shippedBecause;
    if (!m_noHits.isEmpty())
        text = QStringLiteral("「%1」に合う路線はありません。").arg(m_noHits) + text;
    if (m_reading)
        text += QStringLiteral("。ODPTのAPIから一覧を読んでいます…");
    m_source->setText(text);
}

std::optional<OdptLine> LinePickerDialog::selectedLine() const
{
    const QTreeWidgetItem* item = m_tree->currentItem();
    const QString id = item ? item->data(0, Qt::UserRole).toString() : QString();
    if (id.isEmpty())
        return std::nullopt;
    return odptLine(m_list.lines, id);
}

} // namespace senrokan
