// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// Small helpers the window tests share: controls found by name, and the files of tests/support.
#include "app/DesktopProgram.h"
#include "route/RouteDefinition.h"
#include "support/Files.h"
#include "window/Form1.h"

#include <QAbstractButton>
#include <QByteArray>
#include <QLineEdit>
#include <QString>
#include <QWidget>

namespace senrokan::test
{

// The main window's controls are made first if it has not been shown yet.
template <class T> T* control(const QWidget& window, const QString& name)
{
    if (auto* form = qobject_cast<Form1*>(const_cast<QWidget*>(&window)))
        form->makeControls();
    T* found = window.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

inline void click(const QWidget& window, const QString& name)
{
    control<QAbstractButton>(window, name)->click();
}

// A field of a route's tab, by the name the window gives it.
inline void setField(const QWidget& window, int route, int element, const QString& text)
{
    control<QLineEdit>(window, QStringLiteral("Text%1(%2)").arg(route).arg(element))->setText(text);
}

// The program as a start makes it: loaded from the current folder.
struct LoadedProgram : DesktopProgram {
    LoadedProgram() { start(); }
};

// A route pointed at a page of a server on this machine.
inline void aimRoute(const QWidget& window, int route, const QString& page,
                     const QString& matchWord = QStringLiteral("平常運転"))
{
    setField(window, route, ServerName, QStringLiteral("127.0.0.1"));
    setField(window, route, DirectoryName, page);
    setField(window, route, MatchWord, matchWord);
}

// The file with line n (from 1) replaced; every line ends in CR LF.
inline QByteArray withLine(const QByteArray& bytes, int line, const QByteArray& value)
{
    QList<QByteArray> lines = bytes.split('\n');
    lines[line - 1] = value + '\r';
    return lines.join('\n');
}

} // namespace senrokan::test
