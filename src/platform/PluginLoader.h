// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QPluginLoader>
#include <QPointer>
#include <QString>

#include <utility>

namespace senrokan::platform
{

// One of the program's plugins, which keep large libraries (sound, the browser) out of a program
// that may idle for months: named at once, loaded at most once, and only when first wanted.
class PluginLoader
{
public:
    // Only names the file; nothing is loaded until load().
    explicit PluginLoader(const QString& file);
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // Where a program in programDir finds the plugin file fileName: in the plugin folder beside
    // it, as installed and as laid out in the build tree.
    static QString programFile(const QString& programDir, const QString& fileName);

    // True at the first call only: a plugin that did not load is not tried again.
    bool firstTry() { return !std::exchange(m_tried, true); }
    // Loads the plugin; its one object, or null when it does not load (errorString() says why).
    QObject* load();
    // The object load() gave, while it lives.
    QObject* object() const { return m_object; }

    bool loaded() const { return m_loader.isLoaded(); }
    bool exists() const;
    // Whether the file holds a plugin, read without loading it.
    bool readable() const { return !m_loader.metaData().isEmpty(); }
    QString errorString() const { return m_loader.errorString(); }

private:
    QPluginLoader m_loader;
    // The plugin's one object, shared by every loader of the same file.
    QPointer<QObject> m_object;
    bool m_tried = false;
};

} // namespace senrokan::platform
