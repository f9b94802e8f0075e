// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

// Tells when serial devices may have come or gone. It watches the folders where their
// nodes and links appear (inotify, through QFileSystemWatcher; where inotify is missing Qt
// looks once a second) and reports a burst of changes once, a moment after the first, so
// that udev's node, its permissions and its by-id link are read together. Runs on the
// user-interface thread.
class DeviceWatcher : public QObject {
public:
    DeviceWatcher(std::function<void()> changed, QObject* parent);

    // Watches these folders from now on. One that does not exist yet is watched through the
    // nearest folder above it that does, so that its making is seen.
    void Watch(const QStringList& folders);
    // Stops watching; a change already seen is not reported.
    void Stop();

private:
    QFileSystemWatcher FWatcher;
    QTimer FSettle;
    std::function<void()> FChanged;
};
