// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QObject>

class QPushButton;
class QWidget;

namespace senrokan
{

class Failure;

// The buttons Command20 "ｽﾀｰﾄｱｯﾌﾟに登録" and Command21 "ｽﾀｰﾄｱｯﾌﾟから削除": each asks first, then
// has the system start this program at login, or no longer.
class StartupShortcut : public QObject
{
    Q_OBJECT
public:
    // Boxes open over boxParent's window; the object is a child of boxParent.
    StartupShortcut(QPushButton* command20, QPushButton* command21, QWidget* boxParent);

private:
    // Registers the running executable with the current folder as its working folder, so the
    // next start reads the same settings file. A failure is shown; success is not.
    void Command20_Click();
    // Removes the entry; a failure, no entry included, is shown; success is not.
    void Command21_Click();

    bool confirmed(const QString& question) const;
    void showFailure(const Failure& failure) const;

    QWidget* m_boxParent;
};

} // namespace senrokan
