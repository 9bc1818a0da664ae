// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ModalWatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFileInfo>

namespace senrokan::test
{

ModalWatcher::ModalWatcher()
{
    qApp->installEventFilter(this);
}

ModalWatcher::~ModalWatcher()
{
    qApp->removeEventFilter(this);
}

bool ModalWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show)
        return false;
    // Answered from the dialog's own event loop, once it runs.
    if (auto* box = qobject_cast<QMessageBox*>(watched))
        QMetaObject::invokeMethod(
            this, [this, box] { answer(box); }, Qt::QueuedConnection);
    else if (auto* dialog = qobject_cast<QFileDialog*>(watched))
        QMetaObject::invokeMethod(
            this, [this, dialog] { answer(dialog); }, Qt::QueuedConnection);
    return false;
}

void ModalWatcher::answer(QMessageBox* box)
{
    messages.append(
        {box->windowTitle(), box->text(), box->icon(), box->standardButtons(), box->textFormat()});
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
        return;
    }
    const auto scripted =
        m_questionAnswers.isEmpty() ? QMessageBox::NoButton : m_questionAnswers.takeFirst();
    if (QAbstractButton* button = box->button(scripted))
        button->click();
    else
        box->reject(); // an unexpected box is recorded and fails the test, but never hangs it
}

void ModalWatcher::answer(QFileDialog* dialog)
{
    fileDialogs.append({dialog->acceptMode(), dialog->nameFilters(),
                        QFileInfo(dialog->selectedFiles().value(0)).fileName()});
    const QString path = m_answers.isEmpty() ? QString() : m_answers.takeFirst();
    if (path.isEmpty()) {
        dialog->reject();
        return;
    }
    dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept, checks the name included
    if (dialog->isVisible())
        dialog->reject(); // refused the name; the test sees nothing chosen instead of hanging
}

} // namespace senrokan::test
