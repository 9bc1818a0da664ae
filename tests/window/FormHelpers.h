#pragma once

// Small helpers the window tests share: fixtures, file bytes, controls found by name.
#include <QAbstractButton>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QWidget>

namespace senrokan::test
{

inline QByteArray fixture(const QString& name)
{
    QFile file(QStringLiteral(SENROKAN_TEST_DATA "/settings/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

template <class T> T* control(const QWidget& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

inline void click(const QWidget& window, const QString& name)
{
    control<QAbstractButton>(window, name)->click();
}

} // namespace senrokan::test
