// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QFileDialog>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>

namespace senrokan::test
{

// Watches for the modal boxes and file dialogs the program opens, records what each showed and
// answers it the moment it appears: message boxes with their OK button, questions with the next
// scripted button, file dialogs with the next scripted file name (or a cancel). Lets the tests
// drive the real dialogs.
class ModalWatcher : public QObject
{
    Q_OBJECT
public:
    struct Message {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        Qt::TextFormat format;
    };
    struct FileDialog {
        QFileDialog::AcceptMode mode;
        QStringList nameFilters;
        QString proposedName; // the file name in the dialog when it opened
    };

    ModalWatcher();
    ~ModalWatcher() override;

    // The answer to the next file dialog: a file to choose, or an empty name to cancel.
    void answerFileDialog(const QString& path) { m_answers << path; }
    // The answer to the next box without an OK button: the button to press, such as Yes or No.
    void answerQuestion(QMessageBox::StandardButton button) { m_questionAnswers << button; }

    QList<Message> messages;
    QList<FileDialog> fileDialogs;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void answer(QMessageBox* box);
    void answer(QFileDialog* dialog);

    QStringList m_answers;
    QList<QMessageBox::StandardButton> m_questionAnswers;
};

} // namespace senrokan::test
