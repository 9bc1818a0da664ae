// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "FileDialogs.h"

#include <QFileDialog>

namespace senrokan
{

namespace
{

QString runDialog(QFileDialog& dialog, const QString& filter)
{
    dialog.setNameFilters(qtNameFilters(filter));
    // The descriptions already name their patterns; Qt would show them a second time.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        if (patterns.isEmpty())
            continue;
        // "*.DEF;*.TXT" names two patterns; Qt separates them with blanks.
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns);
    }
    return filters;
}

QString showSaveDialog(QWidget* parent, const QString& fileName, const QString& filter)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The chosen name is written as it stands, without an extension of our own and without an
    // extra question before replacing a file, as the export has always done.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(fileName);
    return runDialog(dialog, filter);
}

QString showOpenDialog(QWidget* parent, const QString& filter)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runDialog(dialog, filter);
}

} // namespace senrokan
