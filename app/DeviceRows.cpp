// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DeviceRows.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QString Text(const std::string& s)
{
    return QString::fromStdString(s);
}

// A path as a user types it into a shell: quoted where it needs to be, ~ for the home folder.
QString ForShell(const QString& path)
{
    const auto quoted = [](const QString& text) {
        const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.isLetterOrNumber() || QString("/._-+,:@%=").contains(c);
        });
        return plain ? text : "'" + QString(text).replace("'", "'\\''") + "'";
    };
    const QString home = QDir::homePath();
    if (!home.isEmpty() && home != "/" && path.startsWith(home + "/"))
        return "~/" + quoted(path.mid(home.size() + 1));
    return quoted(path);
}

int FreeLinkNumber(const QString& portDir, int maximum)
{
    const QStringList used = QDir(portDir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (int number = comm::kLastTablePort + 1; number <= maximum; ++number) {
        if (!used.contains(QString("COM%1").arg(number), Qt::CaseInsensitive))
            return number;
    }
    return 0;
}

}  // namespace

int ReachableNumber(const comm::SerialDeviceEntry& device, int minimum, int maximum)
{
    const auto it = std::find_if(device.numbers.begin(), device.numbers.end(),
                                 [&](int n) { return n >= minimum && n <= maximum; });
    return it == device.numbers.end() ? 0 : *it;
}

QStringList DeviceRowLines(const comm::SerialDeviceEntry& device, int number)
{
    QStringList lines;
    const QString path = Text(device.path);
    lines << (number > 0 ? QString("COM%1    %2").arg(QString::number(number), path) : path);
    switch (device.kind) {
    case comm::SerialDeviceKind::Usb: {
        QStringList names;
        for (const std::string* part : {&device.maker, &device.product, &device.serialNumber}) {
            if (!part->empty())
                names << Text(*part);
        }
        lines << (names.isEmpty() ? QString("USB serial adapter") : names.join("  "));
        break;
    }
    case comm::SerialDeviceKind::Uart:
        lines << "built-in serial port";
        break;
    case comm::SerialDeviceKind::Linked:
        lines << "linked in the port directory";
        break;
    }
    if (!device.byId.empty())
        lines << QFileInfo(Text(device.byId)).fileName();
    if (number == 0)
        lines << "no number opens it: link a name to it in the port directory";
    if (!device.mayOpen)
        lines << "no permission: this user may not open it";
    return lines;
}

QString DeviceHint(const comm::SerialDeviceEntry& device, int number, const QString& portDir, int maximum)
{
    const QString path = Text(device.path);
    if (number == 0) {
        const QString dir = ForShell(portDir);
        const int free = FreeLinkNumber(portDir, maximum);
        const QString make = QFileInfo(portDir).isDir() ? QString() : QString("mkdir -p %1 && ").arg(dir);
        return QString("To open %1, link a number to it:\n%2ln -s %3 %4/COM%5")
            .arg(path, make, ForShell(path), dir, QString::number(free > 0 ? free : maximum));
    }
    if (!device.mayOpen)
        return QString("This user may not open %1, so \"Open Port\" will fail.").arg(path);
    return {};
}
