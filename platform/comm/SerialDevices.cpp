// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/comm/SerialDevices.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "platform/comm/SysfsTty.h"

namespace comm {

namespace fs = std::filesystem;

namespace {

// A device is known by its device number, so every name that leads to it (a node, a link,
// a by-id name) finds the same entry.
std::optional<dev_t> CharDeviceNumber(const std::string& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return std::nullopt;
    return st.st_rdev;
}

std::vector<std::string> FolderNames(const std::string& dir)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool HasUsbName(const std::string& name)
{
    return name.starts_with("ttyUSB") || name.starts_with("ttyACM");
}

struct Found {
    SerialDeviceEntry entry;
    dev_t number;
};

class Listing {
public:
    explicit Listing(const DeviceSources& sources) : FSources(sources) {}

    std::vector<SerialDeviceEntry> Run()
    {
        AddHardware();
        AddNumbers();
        AddStableNames();
        std::vector<SerialDeviceEntry> entries;
        for (Found& found : FFound) {
            found.entry.mayOpen = FSources.mayOpen(found.entry.path);
            entries.push_back(std::move(found.entry));
        }
        std::stable_sort(entries.begin(), entries.end(), [](const SerialDeviceEntry& a, const SerialDeviceEntry& b) {
            if (a.numbers.empty() != b.numbers.empty())
                return b.numbers.empty();
            if (!a.numbers.empty())
                return a.numbers.front() < b.numbers.front();
            return a.path < b.path;
        });
        return entries;
    }

private:
    // USB serial adapters and built-in UARTs with a port fitted, each with its node.
    void AddHardware()
    {
        for (const std::string& name : TtyNames(FSources.sysRoot)) {
            const std::optional<UsbIdentity> usb = UsbIdentityOf(FSources.sysRoot, name);
            if (!usb && !HasUsbName(name) && UartPortType(FSources.sysRoot, name) <= 0)
                continue;
            SerialDeviceEntry entry;
            entry.path = FSources.devRoot + "/" + name;
            const std::optional<dev_t> number = CharDeviceNumber(entry.path);
            if (!number)
                continue;  // udev has not made the node yet
            entry.kind = usb || HasUsbName(name) ? SerialDeviceKind::Usb : SerialDeviceKind::Uart;
            if (usb) {
                entry.maker = usb->maker;
                entry.product = usb->product;
                entry.serialNumber = usb->serialNumber;
            }
            FFound.push_back({std::move(entry), *number});
        }
    }

    // The numbers that open each device, found as opening the port finds them: first the
    // numbers the port directory's links name, then the table's numbers that no link
    // shadows. A link counts under the name opening the port looks for (COM10 or com10,
    // not COM010).
    void AddNumbers()
    {
        std::vector<int> linked;
        for (const std::string& name : FolderNames(FSources.portDir)) {
            const int number = ComPortNumber(name);
            if (number > 0 && !LinkedPath(FSources.portDir, PortName(number)).empty())
                linked.push_back(number);
        }
        std::sort(linked.begin(), linked.end());
        linked.erase(std::unique(linked.begin(), linked.end()), linked.end());
        for (const int number : linked)
            Attach(number, LinkedPath(FSources.portDir, PortName(number)), /*fromLink=*/true);
        for (int number = 1; number <= kLastTablePort; ++number) {
            if (!std::binary_search(linked.begin(), linked.end(), number))
                Attach(number, ResolveDevicePath(PortName(number), FSources.portDir, FSources.devRoot),
                       /*fromLink=*/false);
        }
    }

    void Attach(int number, const std::string& path, bool fromLink)
    {
        const std::optional<dev_t> device = CharDeviceNumber(path);
        if (!device)
            return;
        if (Found* found = Find(*device)) {
            found->entry.numbers.push_back(number);
        } else if (fromLink) {
            SerialDeviceEntry entry;
            entry.kind = SerialDeviceKind::Linked;
            entry.path = path;
            entry.numbers.push_back(number);
            FFound.push_back({std::move(entry), *device});
        }
    }

    void AddStableNames()
    {
        const std::string dir = FSources.devRoot + "/serial/by-id";
        for (const std::string& name : FolderNames(dir)) {
            const std::optional<dev_t> device = CharDeviceNumber(dir + "/" + name);
            Found* found = device ? Find(*device) : nullptr;
            if (found && found->entry.byId.empty())
                found->entry.byId = dir + "/" + name;
        }
    }

    Found* Find(dev_t number)
    {
        const auto it = std::find_if(FFound.begin(), FFound.end(), [&](const Found& f) { return f.number == number; });
        return it == FFound.end() ? nullptr : &*it;
    }

    static std::string PortName(int number) { return "COM" + std::to_string(number); }

    const DeviceSources& FSources;
    std::vector<Found> FFound;
};

}  // namespace

std::vector<SerialDeviceEntry> ListSerialDevices(const DeviceSources& sources)
{
    return Listing(sources).Run();
}

}  // namespace comm
