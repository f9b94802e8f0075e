// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/ScopedConfigHome.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

ScopedConfigHome::ScopedConfigHome()
{
    if (!FDir.isValid())
        throw std::runtime_error("cannot create a temporary config home");
    FHadOld = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    FOld = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", FDir.path().toUtf8());
    QDir().mkpath(QString::fromStdString(PortDir()));
}

ScopedConfigHome::~ScopedConfigHome()
{
    if (FHadOld)
        qputenv("XDG_CONFIG_HOME", FOld);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

std::string ScopedConfigHome::Path() const
{
    return FDir.path().toStdString();
}

std::string ScopedConfigHome::PortDir() const
{
    return Path() + "/korvant/ports";
}

void ScopedConfigHome::Link(const std::string& name, const std::string& target) const
{
    const QString link = QString::fromStdString(PortDir() + "/" + name);
    QFile::remove(link);
    if (!QFile::link(QString::fromStdString(target), link))
        throw std::runtime_error("cannot link " + name);
}
