// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QTemporaryDir>
#include <QByteArray>
#include <string>

// Points XDG_CONFIG_HOME at a fresh temporary folder for the lifetime of the object, so
// port links made by a test never touch the user's own, and restores it afterwards.
class ScopedConfigHome {
public:
    ScopedConfigHome();
    ~ScopedConfigHome();
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

    std::string Path() const;
    // The per-user port directory below it (created).
    std::string PortDir() const;
    // Links <PortDir>/<name> to target.
    void Link(const std::string& name, const std::string& target) const;

private:
    QTemporaryDir FDir;
    bool FHadOld = false;
    QByteArray FOld;
};
