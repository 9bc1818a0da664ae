// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace senrokan
{

// The railway-file dialogs' filters, written as "description|pattern|description|pattern...".
inline const QString ExportFilter = QStringLiteral("テキスト ファイル（*.def）|*.DEF");
inline const QString ImportFilter = QStringLiteral("テキスト ファイル (*.def)|*.DEF|");
inline const QString ExportProposedName = QStringLiteral("Senrokan000.DEF");

// The filter in Qt's form: one "description (pattern)" entry per description and pattern pair.
QStringList qtNameFilters(const QString& filter);

// Modal file dialogs. Each returns the chosen file, or an empty name when the user cancelled.
QString showSaveDialog(QWidget* parent, const QString& fileName, const QString& filter);
QString showOpenDialog(QWidget* parent, const QString& filter);

} // namespace senrokan
