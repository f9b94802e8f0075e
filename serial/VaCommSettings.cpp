// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Keeping the component's line settings in its settings store: an INI file, or for the
// registry medium one INI file per root in the user's configuration folder.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <cstdlib>
#include <optional>

#include "serial/VaComm.h"

namespace {

QString ConfigHome()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg)
        return QString::fromLocal8Bit(xdg);
    const char* home = std::getenv("HOME");
    return QString::fromLocal8Bit(home ? home : "") + "/.config";
}

QString ProgramPath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo("/proc/self/exe").canonicalFilePath();
}

// The flow-control summary: 1 for DTR or RTS held on, else 2 for XON/XOFF, else 0.
int FlowSummary(const TVaFlowControl& f)
{
    int summary = 0;
    if (f.XonXoffOut() || f.XonXoffIn())
        summary = 2;
    if (f.ControlDtr() == dtrEnabled || f.ControlRts() == rtsEnabled)
        summary = 1;
    return summary;
}

// A whole number stored under key, if there is one.
std::optional<int> ReadInt(const QSettings& settings, const char* key)
{
    if (!settings.contains(key))
        return std::nullopt;
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

std::string TVaCustomComm::SettingsFile()
{
    TSettingsStore& store = *FSettingsStore;
    if (store.Location() == slRegistry) {
        const char* root = store.RegRoot() == rrLOCALMACHINE ? "LOCALMACHINE.ini" : "CURRENTUSER.ini";
        return (ConfigHome() + "/korvant/" + root).toStdString();
    }
    if (store.Key().empty()) {
        // The program's own path with the extension ".INI".
        const QFileInfo program(ProgramPath());
        const QString base = program.suffix().isEmpty() ? program.filePath()
                                                        : program.path() + "/" + program.completeBaseName();
        store.SetKey((base + ".INI").toStdString());
    }
    return store.Key();
}

std::string TVaCustomComm::SettingsGroup()
{
    TSettingsStore& store = *FSettingsStore;
    if (store.Section().empty())
        store.SetSection(Name());
    if (store.Location() == slRegistry && !store.Key().empty()) {
        QString key = QString::fromStdString(store.Key()).replace('\\', '/');
        return (key + "/" + QString::fromStdString(store.Section())).toStdString();
    }
    return store.Section();
}

void TVaCustomComm::SaveSettings()
{
    const QString file = QString::fromStdString(SettingsFile());
    const QString group = QString::fromStdString(SettingsGroup());
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(group);
    settings.setValue("BAUDRATE", static_cast<int>(FBaudrate));
    settings.setValue("PARITY", static_cast<int>(FParity));
    settings.setValue("DATABITS", static_cast<int>(FDatabits));
    settings.setValue("PORTNUM", FPortNum);
    settings.setValue("STOPBITS", static_cast<int>(FStopbits));
    settings.setValue("COMNAME", QString("COM%1").arg(FPortNum));
    settings.setValue("FLOWCONTROL", FlowSummary(*FFlowControl));
    settings.setValue("FLAG", 1);
    settings.endGroup();
    settings.sync();
    // A settings file that could not be written must not pass for saved.
    if (settings.status() != QSettings::NoError)
        throw EVaCommError("Error writing settings file " + file.toStdString());
}

bool TVaCustomComm::LoadSettings()
{
    const QString file = QString::fromStdString(SettingsFile());
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return false;
    settings.beginGroup(QString::fromStdString(SettingsGroup()));
    if (ReadInt(settings, "FLAG").value_or(0) != 1)
        return false;

    // Every value is checked before any is applied, so a damaged file changes nothing.
    const auto value = [&](const char* key, int low, int high) {
        const std::optional<int> v = ReadInt(settings, key);
        if (!v || *v < low || *v > high)
            throw EVaCommError("Invalid " + std::string(key) + " in settings file " + file.toStdString());
        return *v;
    };
    const auto baudrate = static_cast<TVaBaudrate>(value("BAUDRATE", brUser, br256000));
    const auto parity = static_cast<TVaParity>(value("PARITY", paNone, paSpace));
    const auto databits = static_cast<TVaDatabits>(value("DATABITS", db4, db8));
    const std::int32_t portNum = value("PORTNUM", 0, 2147483647);
    const auto stopbits = static_cast<TVaStopbits>(value("STOPBITS", sb1, sb2));
    const int summary = ReadInt(settings, "FLOWCONTROL").value_or(0);

    SetBaudrate(baudrate);
    SetParity(parity);
    SetDatabits(databits);
    SetPortNum(portNum);
    SetStopbits(stopbits);
    TVaFlowControl& f = *FFlowControl;
    if (summary == 0 || summary == 1 || summary == 2) {
        f.SetControlDtr(summary == 1 ? dtrEnabled : dtrDisabled);
        f.SetControlRts(summary == 1 ? rtsEnabled : rtsDisabled);
        f.SetXonXoffOut(summary == 2);
        f.SetXonXoffIn(summary == 2);
    }
    return true;
}
