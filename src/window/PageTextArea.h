#pragma once

#include <QPlainTextEdit>
#include <QTimer>

namespace senrokan
{

// RichTextBox1: the page-text area, always plain text. A long page goes in a slice of lines at a
// time between events, so that the window keeps answering while a large page is laid out.
class PageTextArea : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit PageTextArea(QWidget* parent = nullptr);

    // Replaces the whole text; a text given while an earlier one is still going in replaces it.
    void showText(const QString& text);
    // Whether part of the last text is still to come.
    bool isFilling() const { return !m_rest.isEmpty(); }

private:
    // The next slice: at most SliceChars, ending after a line end when there is one.
    QString takeSlice();
    void appendSlice();

    QString m_rest;
    qsizetype m_restAt = 0;
    QTimer m_filler;
};

} // namespace senrokan
