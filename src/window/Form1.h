// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "LinePickerDialog.h"
#include "route/RouteDefinition.h"
#include "route/RouteState.h"
#include "settings/SettingsFile.h"

#include <QWidget>

#include <optional>

class QLineEdit;
class QPushButton;
class QTabWidget;

namespace senrokan
{

class CheckHistory;
class HistoryPage;
class PageTextArea;
class RoutePage;
class RouteSettings;
class SettingsPage;

// The main window: it shows and edits. The routes are edited in their owner, each field as it is
// typed, so a round of checks reads them as they stand, saved or not; the program shows a
// check's progress in Text8 and the page text in RichTextBox1. What it asks of the program (a
// check, a test report, going resident, ending) it asks by its signals; the program that made it
// does the rest.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    // values: the settings shared with the cycle; routes: the routes' owner, Senrokan.ini's
    // options and targets among it; history: what the 履歴 page shows; readLines: how the line
    // picker reads the API's list.
    Form1(SettingsValues& values, RouteSettings& routes, CheckHistory& history,
          LineReader readLines, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up, before the window is first shown: host name and address, default values and the
    // settings file.
    void Form_Load();

    // Reads "Senrokan.DEF" in the program's folder (or the priority railway file it names) into
    // the routes and the settings values. A failed read keeps what came before the failure and
    // changes nothing on the window but Text9; it never reports.
    void LoadSettings();
    // Writes "Senrokan.DEF" and the routes' options in the program's folder; a failure is
    // reported in a box and answered false.
    bool SaveSettings();

    // The railway-file export and import once a file has been chosen.
    void exportRailwayFile(const QString& path);
    void importRailwayFile(const QString& path);

    // Text8 for route's tab, shown when that tab is open; route 0: for whichever tab is open.
    void setStatusText(const QString& text, int route = 0);
    // The page text of route's check, shown under its tab; route 0 (the summary): under every
    // tab.
    void setPageText(const QString& text, int route = 0);
    // The match word's count told in the status field, and word marked in the page text, within
    // the section from sectionStart to sectionEnd when there is one.
    void showMatchCount(const QString& notice, const QString& word, const QString& sectionStart,
                        const QString& sectionEnd, int route = 0);
    void setBusy(bool busy);
    void showMessage(const QString& prompt, const QString& title);
    // はい or いいえ; true for はい.
    bool askQuestion(const QString& prompt, const QString& title);
    // An edit of route's field as if typed on its page.
    void setRouteField(int route, int element, const QString& text);
    // A report's outcome and problems in the frame "通知先" (NotifyTargetsBox).
    void showReportOutcome(const QString& targetText, bool delivered, const QString& error);
    void showReportMessage(const QString& text);

    // Selects the settings page of the tabs, hidden or not.
    void selectSettingsPage();
    // The minutes of the selected interval option, none when no option is selected.
    std::optional<int> selectedIntervalMinutes() const;
    // After route's check by "送信": its page opens in the web view, with the text the check
    // read; a route read only from its feed has none to open.
    void showCheckedPage(int route, const QString& pageText, bool feedOnly);
    // Route's tab selected and address opened in its web view, as the browser shows it.
    void showRoutePage(int route, const QString& address);

    // Shown from the icon, a later start in this folder or a failed save at "終了".
    void showFromIcon();
    // Where the window last was, when that is still on a screen; else it stays where the
    // desktop puts it.
    void placeAt(const std::optional<QRect>& geometry);
    // Whether the route fields or the settings page differ from what was last loaded or saved.
    bool hasUnsavedEdits() const;
    // "終了": saves and ends; a failed save keeps the program running, the window shown.
    void Command13_Click();
    void setVisible(bool visible) override;
    // Makes the window's controls with what was set so far; done once, when the window is first
    // shown. Until then the window holds its fields and texts as text: making the controls lays
    // out their captions and texts, which loads the fonts, the Japanese font and the text
    // shaper, megabytes that a program that stays resident would hold for nothing.
    void makeControls();

Q_SIGNALS:
    // The button "送信" of route.
    void routeCheckRequested(int route);
    // "タスクトレイに常駐", or an import that reads resident.
    void residentRequested();
    // "運行情報表示": the status summary is wanted in the page-text area.
    void summaryRequested();
    // "テスト送信": a test report to each target is wanted.
    void testReportRequested();
    // An import replaced the routes: every route's check is forgotten.
    void routesImported();
    // Shown by showFromIcon.
    void shownFromIcon();
    // The window was closed or an exit command ran: the program is to end now.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class LoadKind { StartUp, Import };

    void Command6_Click();
    void Command7_Click();
    void Command22_Click();

    // Puts a completely read file on the window: interval option, option boxes, resident mode
    // and tab captions; an import also clears Text9 and every route's check record.
    void showLoaded(LoadKind kind);
    // page: 0 for the settings page, r for route r.
    void setTabCaption(int page, const QString& caption);
    // What "終了" would write besides the routes, to tell edits from what was last loaded or
    // saved.
    struct Layout {
        QString priorityName;
        int numbers[4];
        bool operator==(const Layout&) const = default;
    };
    Layout layout() const;
    // The close box with edits unsaved: 変更を保存しますか？ False when the window is to stay.
    bool mayClose();
    // The route whose tab is open; 0 for the settings and 履歴 tabs.
    int shownRoute() const;
    void showStatus(const QString& text);
    // The page text in the area when it belongs to the tab open, else an empty area.
    void showPage();

    SettingsValues& m_values;
    RouteSettings& m_routes;
    CheckHistory& m_history;
    SettingsPage* m_settingsPage;
    PerRoute<RoutePage*> m_routePages{};
    // The captions of the settings page and the route pages, [0] and [r].
    PerRoute<QString> m_tabCaptions;
    PerRoute<QString> m_statusTexts;        // Text8 of each route's tab; [0] of the others
    std::optional<QString> m_unshownStatus; // Text8 as a check left it while the window was hidden
    QString m_pageText; // the last page text, for the tab of m_pageRoute (0: every tab)
    int m_pageRoute = 0;
    bool m_pageShown = false; // the area holds m_pageText
    QTabWidget* m_ssTab1 = nullptr;
    HistoryPage* m_historyPage = nullptr;
    PageTextArea* m_richTextBox1 = nullptr;
    QLineEdit* m_text8 = nullptr;
    QPushButton* m_command11 = nullptr;
    QPushButton* m_command13 = nullptr;
    bool m_closed = false;
    std::optional<Layout> m_savedLayout;
};

} // namespace senrokan
