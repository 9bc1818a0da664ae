// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Form1.h"

#include "FileDialogs.h"
#include "HistoryPage.h"
#include "IntervalOptions.h"
#include "OptionSwitches.h"
#include "PageTextArea.h"
#include "RoutePage.h"
#include "RouteWebView.h"
#include "SettingsPage.h"
#include "accessibility/ControlNames.h"
#include "desktop/TrayIcon.h"
#include "history/CheckHistory.h"
#include "platform/LocalFiles.h"
#include "platform/LocalHost.h"
#include "route/RouteAddress.h"
#include "settings/RouteSettings.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <utility>

namespace senrokan
{

namespace
{

const QString Caption = QStringLiteral("Senrokan  Ver.1.20");
const QString SettingsTabCaption = QStringLiteral("設定");
const QString MessageTitle = QStringLiteral("メッセージ");
// The client area at 96 dpi: 9156 x 7524 twips at 15 twips per pixel.
constexpr QSize DesignSize(610, 502);

// A question box of the window, its answers in Japanese; buttons: Yes and No, and maybe Cancel.
std::unique_ptr<QMessageBox> questionBox(QWidget* window, const QString& title,
                                         const QString& prompt,
                                         QMessageBox::StandardButtons buttons)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, title, prompt, buttons, window);
    box->setTextFormat(Qt::PlainText);
    box->button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
    box->button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
    if (QAbstractButton* cancel = box->button(QMessageBox::Cancel))
        cancel->setText(QStringLiteral("キャンセル"));
    return box;
}

QPushButton* makeButton(QWidget* window, const QString& controlName, const QString& caption)
{
    auto* button = new QPushButton(caption, window);
    nameControl(button, controlName, caption);
    return button;
}

} // namespace

Form1::Form1(SettingsValues& values, RouteSettings& routes, CheckHistory& history,
             LineReader readLines, QWidget* parent)
    : QWidget(parent), m_values(values), m_routes(routes), m_history(history)
{
    setWindowTitle(Caption);
    // The window's icon is the icon's normal picture.
    setWindowIcon(TrayIcon::icon(TrayPicture::Normal));
    nameControl(this, QStringLiteral("Form1"), Caption);

    m_settingsPage = new SettingsPage(m_values, m_routes.companion(), this);
    for (int r = 1; r <= RouteCount; ++r)
        m_routePages.at(r) = new RoutePage(r, m_routes, readLines, this);
    connect(&m_routes, &RouteSettings::routeReplaced, this,
            [this](int route) { m_routePages.at(route)->showFields(); });
    for (int page = 0; page <= RouteCount; ++page)
        m_tabCaptions.at(page) = QStringLiteral("Tab %1").arg(page);
    connect(&m_history, &CheckHistory::notice, this,
            [this](const QString& text) { setStatusText(text); });
    // The layout raises the window to its minimum size when it is first shown; asking for that
    // size now would lay out a window that a resident start may never show.
    resize(DesignSize);

    connect(m_settingsPage, &SettingsPage::exportClicked, this, &Form1::Command6_Click);
    connect(m_settingsPage, &SettingsPage::importClicked, this, &Form1::Command7_Click);
    connect(m_settingsPage, &SettingsPage::residentClicked, this, &Form1::Command22_Click);
    connect(m_settingsPage, &SettingsPage::testReportRequested, this, &Form1::testReportRequested);
    for (int r = 1; r <= RouteCount; ++r) {
        RoutePage* page = m_routePages.at(r);
        connect(page, &RoutePage::sendClicked, this, [this, r, page] {
            // Its result shows under its tab.
            if (m_ssTab1)
                m_ssTab1->setCurrentWidget(page);
            Q_EMIT routeCheckRequested(r);
        });
        connect(page, &RoutePage::fieldRefused, this,
                [this, r](const QString& why) { setStatusText(why, r); });
        // Saved at once, as the report targets are: the options are not part of the 50 lines.
        connect(page, &RoutePage::optionsEdited, this, [this, r, page] {
            if (const SettingsWrite saved = m_routes.editOptions(r, page->options()); !saved.done) {
                page->setOptions(m_routes.options()[r]);
                setStatusText(saved.failure, r);
            }
        });
        // A line chosen names its tab at once: the choice is the route's new identity.
        connect(page, &RoutePage::lineChosen, this,
                [this, r, page] { setTabCaption(r, page->field(Title)); });
    }
}

Form1::~Form1() = default;

void Form1::makeControls()
{
    if (m_ssTab1)
        return;
    m_ssTab1 = new QTabWidget(this);
    nameControl(m_ssTab1, QStringLiteral("SSTab1"), QStringLiteral("設定と路線"));
    m_settingsPage->makeControls();
    m_ssTab1->addTab(m_settingsPage, m_tabCaptions.at(0));
    // Page r is route r.
    for (int r = 1; r <= RouteCount; ++r) {
        m_routePages.at(r)->makeControls();
        m_ssTab1->addTab(m_routePages.at(r), m_tabCaptions.at(r));
    }
    // After the routes; its contents are made when it is first shown.
    m_historyPage = new HistoryPage(
        m_history, [this](int route) { return m_routes.routeField(route, Title); }, m_ssTab1);
    m_ssTab1->addTab(m_historyPage, QStringLiteral("履歴"));
    connect(&m_history, &CheckHistory::appended, m_historyPage, &HistoryPage::addCheck);

    m_richTextBox1 = new PageTextArea(this);
    nameControl(m_richTextBox1, QStringLiteral("RichTextBox1"), QStringLiteral("ページテキスト"));
    m_text8 = new QLineEdit(this);
    nameControl(m_text8, QStringLiteral("Text8"), QStringLiteral("状態"));
    showPage();
    // The page text's context menu fills in the fields of the route whose page is open; each
    // route's tab shows that route's last result.
    connect(m_ssTab1, &QTabWidget::currentChanged, this, [this](int page) {
        m_richTextBox1->setFieldTarget(qobject_cast<RoutePage*>(m_ssTab1->widget(page)));
        showStatus(m_statusTexts.at(shownRoute()));
        showPage();
    });
    m_command11 = makeButton(this, QStringLiteral("Command11"), QStringLiteral("運行情報表示"));
    m_command13 = makeButton(this, QStringLiteral("Command13"), QStringLiteral("終了"));

    auto* side = new QVBoxLayout;
    side->addWidget(m_text8);
    side->addStretch();
    side->addWidget(m_command11, 0, Qt::AlignHCenter);
    side->addStretch();
    side->addWidget(m_command13, 0, Qt::AlignRight);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_richTextBox1, 2);
    bottom->addLayout(side, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_ssTab1, 3);
    layout->addLayout(bottom, 2);

    connect(m_command11, &QPushButton::clicked, this, &Form1::summaryRequested);
    connect(m_command13, &QPushButton::clicked, this, &Form1::Command13_Click);
}

void Form1::Form_Load()
{
    m_settingsPage->setHost(platform::localHostName(), platform::localIpAddress());
    // The resident flag keeps its value from process start; the others start over.
    const SettingsValues defaults;
    m_values.CheckIntervalMinutes = defaults.CheckIntervalMinutes;
    m_values.MelodyFlag = defaults.MelodyFlag;
    m_values.CheckOnResidentFlag = defaults.CheckOnResidentFlag;
    LoadSettings();
    m_savedLayout = layout();
}

void Form1::LoadSettings()
{
    // Paths start from the current directory as it is now; a folder removed has none.
    const std::optional<QString> dir = platform::currentDirectory();
    if (!dir)
        return;
    const SettingsRead read = m_routes.load(*dir);
    m_settingsPage->showStartHint(
        !QFileInfo::exists(platform::joinToDirectory(*dir, SettingsFileName)));
    if (!read.priorityName.isEmpty())
        m_settingsPage->setPriorityName(read.priorityName);
    read.applyNumbers(m_values);
    m_settingsPage->showFlags();
    if (read.complete)
        showLoaded(LoadKind::StartUp);
}

bool Form1::SaveSettings()
{
    const SettingsWrite saved = m_routes.save(platform::currentDirectory().value_or(QString()),
                                              trimBlanks(m_settingsPage->priorityName()), m_values);
    if (!saved.done) {
        showMessage(saved.failure, MessageTitle);
        return false;
    }
    m_savedLayout = layout();
    return true;
}

Form1::Layout Form1::layout() const
{
    return {m_settingsPage->priorityName(),
            {m_values.CheckIntervalMinutes, m_values.ResidentFlag, m_values.MelodyFlag,
             m_values.CheckOnResidentFlag}};
}

bool Form1::hasUnsavedEdits() const
{
    return m_savedLayout && (m_routes.hasUnsavedEdits() || !(*m_savedLayout == layout()));
}

bool Form1::mayClose()
{
    if (!hasUnsavedEdits())
        return true;
    const std::unique_ptr<QMessageBox> box =
        questionBox(this, MessageTitle, QStringLiteral("変更を保存しますか？"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box->setObjectName(QStringLiteral("SaveQuestion"));
    box->setDefaultButton(QMessageBox::Yes);
    const int answer = box->exec();
    if (answer == QMessageBox::No)
        return true;
    if (answer != QMessageBox::Yes)
        return false;
    // As "終了": a failed save keeps the program, shown, so nothing is lost.
    if (SaveSettings())
        return true;
    showFromIcon();
    return false;
}

void Form1::placeAt(const std::optional<QRect>& geometry)
{
    if (!geometry)
        return;
    constexpr int TitleBarHeight = 24;
    constexpr int GrabWidth = 160; // of the title bar, enough to take hold of it
    // The screen that shows the most of its title bar; none shows any when the screen it was on
    // has been taken away since.
    const QRect titleBar(geometry->topLeft(), QSize(geometry->width(), TitleBarHeight));
    const QScreen* shown = nullptr;
    qint64 mostSeen = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry() & titleBar;
        if (qint64(seen.width()) * seen.height() > mostSeen) {
            mostSeen = qint64(seen.width()) * seen.height();
            shown = screen;
        }
    }
    if (!shown) {
        resize(geometry->size().boundedTo(QGuiApplication::primaryScreen()->availableSize()));
        return;
    }
    // No larger than that screen (a window's memory grows with its size), moved no further than
    // it takes to bring its whole title bar's height and a good grip of its width onto it.
    const QRect area = shown->availableGeometry();
    const QSize size = geometry->size().boundedTo(area.size());
    const int grip = std::min(size.width(), GrabWidth);
    const int x =
        std::clamp(geometry->x(), area.left() - size.width() + grip, area.right() + 1 - grip);
    const int y = std::clamp(geometry->y(), area.top(), area.bottom() + 1 - TitleBarHeight);
    setGeometry(QRect(QPoint(x, y), size));
}

void Form1::exportRailwayFile(const QString& path)
{
    if (const SettingsWrite written = m_routes.exportRailwayFile(path, m_values); !written.done)
        showMessage(written.failure, MessageTitle);
}

void Form1::importRailwayFile(const QString& path)
{
    const SettingsRead read = m_routes.importRailwayFile(path);
    read.applyNumbers(m_values);
    m_settingsPage->showFlags();
    if (read.complete)
        showLoaded(LoadKind::Import);
}

void Form1::setStatusText(const QString& text, int route)
{
    m_statusTexts.at(isRouteIndex(route) ? route : 0) = text;
    if (!isRouteIndex(route) || route == shownRoute())
        showStatus(text);
}

void Form1::showStatus(const QString& text)
{
    // A line edit lays its text out at once, loading the fonts it needs: a hidden window keeps
    // the text for its next showing, as the page-text area does.
    if (isVisible() && m_text8) {
        m_text8->setText(text);
        m_text8->setCursorPosition(0); // a long text shows its beginning
        m_text8->setToolTip(text);     // and the whole of it here
    } else
        m_unshownStatus = text;
}

int Form1::shownRoute() const
{
    const int page = m_ssTab1 ? m_ssTab1->currentIndex() : 0;
    return isRouteIndex(page) ? page : 0;
}

void Form1::setPageText(const QString& text, int route)
{
    m_pageText = text;
    m_pageRoute = isRouteIndex(route) ? route : 0;
    m_pageShown = false;
    showPage();
}

void Form1::showPage()
{
    if (!m_richTextBox1)
        return;
    // A route's page under its own tab only; the summary under every tab.
    const bool belongs = m_pageRoute == 0 || m_pageRoute == shownRoute();
    if (belongs != m_pageShown)
        m_richTextBox1->showText(belongs ? m_pageText : QString());
    m_pageShown = belongs;
}

void Form1::showMatchCount(const QString& notice, const QString& word, const QString& sectionStart,
                           const QString& sectionEnd, int route)
{
    setStatusText(notice, route);
    if (m_richTextBox1 && m_pageShown)
        m_richTextBox1->markWord(word, sectionStart, sectionEnd);
}

void Form1::setBusy(bool busy)
{
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void Form1::showMessage(const QString& prompt, const QString& title)
{
    QMessageBox box(QMessageBox::Information, title, prompt, QMessageBox::Ok, this);
    // Prompts may quote what a server sent; it is never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void Form1::showReportOutcome(const QString& targetText, bool delivered, const QString& error)
{
    m_settingsPage->showReportOutcome(targetText, delivered, error);
}

void Form1::showReportMessage(const QString& text)
{
    m_settingsPage->showReportMessage(text);
}

bool Form1::askQuestion(const QString& prompt, const QString& title)
{
    return questionBox(this, title, prompt, QMessageBox::Yes | QMessageBox::No)->exec() ==
           QMessageBox::Yes;
}

void Form1::setRouteField(int route, int element, const QString& text)
{
    if (isRouteIndex(route))
        m_routePages.at(route)->setField(element, text);
}

void Form1::selectSettingsPage()
{
    // A tab control made later starts on that page.
    if (m_ssTab1)
        m_ssTab1->setCurrentIndex(0);
}

std::optional<int> Form1::selectedIntervalMinutes() const
{
    return m_settingsPage->selectedIntervalMinutes();
}

void Form1::setVisible(bool visible)
{
    // What only the shown window needs waits for its first showing.
    if (visible) {
        makeControls();
        // Read at every showing: the options may have been changed in the file meanwhile.
        QStringList problems;
        const RouteOptionsTable options = m_routes.options(&problems);
        for (int r = 1; r <= RouteCount; ++r)
            m_routePages.at(r)->setOptions(options[r]);
        if (!problems.isEmpty())
            m_unshownStatus = problems.join(u' ');
        if (m_unshownStatus) {
            m_text8->setText(*std::exchange(m_unshownStatus, std::nullopt));
            m_text8->setCursorPosition(0);
            m_text8->setToolTip(m_text8->text());
        }
    }
    QWidget::setVisible(visible);
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (!m_closed && !mayClose()) {
        event->ignore();
        return;
    }
    if (!std::exchange(m_closed, true))
        Q_EMIT closed();
    event->accept();
}

void Form1::Command6_Click()
{
    const QString path = showSaveDialog(this, ExportProposedName, ExportFilter);
    if (!path.isEmpty())
        exportRailwayFile(path);
}

void Form1::Command7_Click()
{
    const QString path = showOpenDialog(this, ImportFilter);
    if (!path.isEmpty())
        importRailwayFile(path);
}

void Form1::Command13_Click()
{
    // Ending after a failed save would lose every edit since the last one: the program stays,
    // shown, so the user can make room or export a railway file and end again.
    if (!SaveSettings()) {
        showFromIcon();
        return;
    }
    close();
}

void Form1::Command22_Click()
{
    Q_EMIT residentRequested();
}

void Form1::showCheckedPage(int route, const QString& pageText, bool feedOnly)
{
    if (feedOnly)
        return;
    const QString address = webViewAddress(m_routes.routeDefinition(route));
    m_routePages.at(route)->webBrowser()->navigate(address, pageText);
}

void Form1::showRoutePage(int route, const QString& address)
{
    makeControls();
    m_ssTab1->setCurrentWidget(m_routePages.at(route));
    m_routePages.at(route)->webBrowser()->navigate(address, QString());
}

void Form1::showFromIcon()
{
    show();
    raise();
    activateWindow();
    Q_EMIT shownFromIcon();
}

void Form1::showLoaded(LoadKind kind)
{
    m_settingsPage->selectInterval(m_values.CheckIntervalMinutes);
    if (kind == LoadKind::Import) {
        m_settingsPage->setPriorityName(QString());
        m_settingsPage->showStartHint(false);
        Q_EMIT routesImported();
    }
    for (int r = 1; r <= RouteCount; ++r)
        setTabCaption(r, m_routes.routeField(r, Title));
    setTabCaption(0, SettingsTabCaption);
    selectSettingsPage();
    // Hidden into the tray without the timer, the program would look resident and never check:
    // an import that reads resident goes resident as the button does, icon and count included.
    if (kind == LoadKind::Import && m_values.ResidentFlag == 1)
        Command22_Click();
}

void Form1::setTabCaption(int page, const QString& caption)
{
    // A title is shown as typed: "&" would otherwise mark a shortcut key.
    QString& shown = m_tabCaptions.at(page);
    shown = caption;
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    if (m_ssTab1) {
        QWidget* tab = page == 0 ? static_cast<QWidget*>(m_settingsPage) : m_routePages.at(page);
        m_ssTab1->setTabText(m_ssTab1->indexOf(tab), shown);
    }
}

} // namespace senrokan
