// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "check/CheckDisplay.h"
#include "check/RouteChecker.h"
#include "cycle/CheckCycle.h"
#include "cycle/CycleDisplay.h"
#include "desktop/Chime.h"
#include "history/CheckHistory.h"
#include "platform/LocalFiles.h"
#include "report/Reporter.h"
#include "route/RouteDefinition.h"
#include "route/RouteState.h"
#include "settings/CompanionSettings.h"
#include "settings/SettingsFile.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QLineEdit;
class QPushButton;
class QTabWidget;

namespace senrokan
{

namespace platform
{
class DesktopNotifier;
}

class Form3;
class HistoryPage;
class PageTextArea;
class SingleInstance;
class RoutePage;
class SettingsPage;
class TrayIcon;

// The main window. It is also where the route definitions live: a check reads each route field
// from the route's page at the moment it runs, saved or not, and shows its progress in Text8 and
// the page text in RichTextBox1. It is also what the timed cycle shows itself on: the
// notification-area icon, the delay popup and the chime.
class Form1 : public QWidget, public RouteFieldSource, public CheckDisplay, public CycleDisplay
{
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up, before the window is first shown: host name and address, default values, the
    // settings file, and resident operation when the settings ask for it. Shows the window
    // unless the program went to the notification area.
    void Form_Load();

    // Reads "Senrokan.DEF" in the current directory (or the priority railway file it names)
    // into the window and the settings values. A failed read keeps what came before the failure
    // and changes nothing on the window but Text9; it never reports.
    void LoadSettings();
    // Writes "Senrokan.DEF" in the current directory; a failure is reported in a box and
    // answered false.
    bool SaveSettings();

    // The railway-file export and import once a file has been chosen.
    void exportRailwayFile(const QString& path);
    void importRailwayFile(const QString& path);

    QString routeField(int route, int element) const override;
    void setStatusText(const QString& text) override;
    void setPageText(const QString& text) override;
    // In the status field, and marked in the page text.
    void setMatchCount(const MatchCount& count) override;
    void setBusy(bool busy) override;
    void showMessage(const QString& prompt, const QString& title) override;

    void addTrayIcon() override;
    void hideMainWindow() override;
    void setTrayPicture(TrayPicture picture) override;
    void selectSettingsPage() override;
    void showPopup(const QString& text) override;
    void hidePopup() override;
    void setDelayNotice(const QStringList& lines) override;
    void playChime() override;
    std::optional<int> selectedIntervalMinutes() const override;

    const SettingsValues& settingsValues() const { return m_values; }
    RouteChecker& checker() { return m_checker; }
    CheckCycle& cycle() { return m_cycle; }
    // The record of checks in the current directory, which the 履歴 page shows.
    CheckHistory& history() { return m_history; }
    TrayIcon& trayIcon() { return *m_trayIcon; }
    // The delay popup while it is loaded.
    Form3* form3() const;

    // Double-click on the icon or its menu entry "設定"; also a later start in this folder, and
    // a failed save at "終了". The icon's clicks stop counting.
    void showFromIcon();
    // Later starts in this program's folder bring the window forward.
    void answerLaterStarts(const SingleInstance& instance);
    void setVisible(bool visible) override;
    // Makes the window's controls with what was set so far; done once, when the window is first
    // shown. Until then the window holds its fields and texts as text: making the controls lays
    // out their captions and texts, which loads the fonts, the Japanese font and the text
    // shaper, megabytes that a program that stays resident would hold for nothing.
    void makeControls();

Q_SIGNALS:
    // The program is to end now: the window was closed or an exit command ran.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class LoadKind { StartUp, Import };

    void Command6_Click();
    void Command7_Click();
    void Command11_Click();
    void Command13_Click();
    void Command22_Click();
    // Command1_Click to Command5_Click: the button "送信" of route r.
    void routeButton_Click(int route);
    void Form_Unload();

    // Puts a completely read file on the window: interval option, option boxes, resident mode,
    // route fields and tab captions; an import also clears Text9 and every route's check record.
    void showLoaded(const RouteBlocks& routes, LoadKind kind);
    // page: 0 for the settings page, r for route r.
    void setTabCaption(int page, const QString& caption);
    RouteBlocks routeBlocks() const;
    bool writeLayout(const std::optional<QString>& path, const QString& line1);

    SettingsValues m_values;
    RouteChecker m_checker;
    CheckCycle m_cycle;
    CheckHistory m_history;
    // Senrokan.ini in the folder the program started in: the routes' options and the targets
    // of the reports.
    const CompanionSettings m_companion{platform::currentDirectory().value_or(QString())};
    Reporter m_reporter;
    TrayIcon* m_trayIcon;
    QPointer<Form3> m_form3;
    std::unique_ptr<platform::DesktopNotifier> m_notifier;
    Chime m_chime;
    SettingsPage* m_settingsPage;
    std::array<RoutePage*, RouteCount + 1> m_routePages{}; // [0] unused
    // The captions of the settings page and the route pages, [0] and [r].
    std::array<QString, RouteCount + 1> m_tabCaptions;
    std::optional<QString> m_unshownPage;   // the page text before the controls are made
    std::optional<QString> m_unshownStatus; // Text8 as a check left it while the window was hidden
    QTabWidget* m_ssTab1 = nullptr;
    HistoryPage* m_historyPage = nullptr;
    PageTextArea* m_richTextBox1 = nullptr;
    QLineEdit* m_text8 = nullptr;
    QPushButton* m_command11 = nullptr;
    QPushButton* m_command13 = nullptr;
    bool m_unloaded = false;
};

} // namespace senrokan
