// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DeviceWatcher.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Long enough for udev to finish with a device it has just made, short enough to feel
// immediate.
constexpr int kSettleMs = 300;

QString NearestExistingFolder(QString folder)
{
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder)
            return {};
        folder = parent;
    }
    return QDir::cleanPath(folder);
}

}  // namespace

DeviceWatcher::DeviceWatcher(std::function<void()> changed, QObject* parent)
    : QObject(parent), FChanged(std::move(changed))
{
    FSettle.setSingleShot(true);
    FSettle.setInterval(kSettleMs);
    // Not restarted by later changes: a folder that never rests still gets read.
    const auto arm = [this] {
        if (!FSettle.isActive())
            FSettle.start();
    };
    connect(&FWatcher, &QFileSystemWatcher::directoryChanged, this, arm);
    connect(&FSettle, &QTimer::timeout, this, [this] { FChanged(); });
}

void DeviceWatcher::Watch(const QStringList& folders)
{
    QStringList wanted;
    for (const QString& folder : folders) {
        const QString existing = NearestExistingFolder(folder);
        if (!existing.isEmpty() && !wanted.contains(existing))
            wanted.push_back(existing);
    }
    QStringList stale;
    for (const QString& watched : FWatcher.directories()) {
        if (!wanted.contains(watched))
            stale.push_back(watched);
    }
    if (!stale.isEmpty())
        FWatcher.removePaths(stale);
    QStringList fresh;
    for (const QString& folder : wanted) {
        if (!FWatcher.directories().contains(folder))
            fresh.push_back(folder);
    }
    if (!fresh.isEmpty())
        FWatcher.addPaths(fresh);
}

void DeviceWatcher::Stop()
{
    FSettle.stop();
    if (!FWatcher.directories().isEmpty())
        FWatcher.removePaths(FWatcher.directories());
}
