#pragma once
// Helpers of the discovery tests: pseudo-terminals, a fake system tree, and
// a watch on the port list's model.

#include "app/port_list_refresh.h"
#include "platform/combo_box.h"
#include "transport/port_discovery.h"

#include <QAbstractItemModel>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QStringList& list, std::ostream* os) { *os << '{' << list.join(", ").toStdString() << '}'; }
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace velmora::discovery_test {

namespace fs = std::filesystem;
using Numbers = std::vector<int>;

// A pseudo-terminal pair, not inherited by child processes; the slave's path
// stands for a serial device.
class Pty {
public:
    Pty()
    {
        char name[256] = {};
        EXPECT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
        ::fcntl(master_, F_SETFD, FD_CLOEXEC);
        ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
        path_ = name;
    }
    ~Pty()
    {
        ::close(slave_);
        ::close(master_);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    const std::string& path() const { return path_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

inline void WriteFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// A sysfs, /dev, lock and port map tree below one temporary directory (the
// machine's own ports stay out of a test), with the real /proc.
class FakeSystem {
public:
    FakeSystem()
    {
        for (const fs::path& dir : {sys() / "class" / "tty", dev(), locks(), map()}) {
            fs::create_directories(dir);
        }
    }

    fs::path sys() const { return root() / "sys"; }
    fs::path dev() const { return root() / "dev"; }
    fs::path locks() const { return root() / "lock"; }
    fs::path map() const { return root() / "map"; }

    transport::DiscoveryRoots Roots() const
    {
        return {.sysfs = sys(), .dev = dev(), .lockDirs = {locks()}, .portMapDir = map().string()};
    }

    // A tty class entry whose device sits at devices/<devicePath>, bound to driver.
    void AddTty(const std::string& name, const std::string& devicePath, const std::string& driver)
    {
        const fs::path device = sys() / "devices" / devicePath;
        fs::create_directories(device);
        fs::create_directories(sys() / "bus" / "drivers" / driver);
        fs::create_symlink(sys() / "bus" / "drivers" / driver, device / "driver");
        fs::create_directories(sys() / "class" / "tty" / name);
        fs::create_symlink(device, sys() / "class" / "tty" / name / "device");
    }
    // A legacy 8250 port: type 0 when no UART answered.
    void AddLegacyTtyS(int index, int type)
    {
        const std::string name = "ttyS" + std::to_string(index);
        AddTty(name, "platform/serial8250/" + name, "serial8250");
        WriteFile(sys() / "class" / "tty" / name / "type", std::to_string(type) + "\n");
    }
    // A tty with no device behind it (a virtual console, say).
    void AddVirtualTty(const std::string& name) { fs::create_directories(sys() / "class" / "tty" / name); }
    // A USB device usb1/1-<n> with its strings (empty ones left out); returns its interface's path.
    fs::path AddUsbDevice(int n, const std::string& manufacturer, const std::string& product)
    {
        const fs::path device = fs::path("pci0000:00") / "usb1" / ("1-" + std::to_string(n));
        WriteFile(sys() / "devices" / device / "idVendor", "0403\n");
        for (const auto& [file, text] : {std::pair{"manufacturer", manufacturer}, std::pair{"product", product}}) {
            if (!text.empty()) {
                WriteFile(sys() / "devices" / device / file, text + "\n");
            }
        }
        return device / (device.filename().string() + ":1.0");
    }
    // The device node: a link to a pseudo-terminal, or a plain file.
    void AddNode(const std::string& name, const std::string& target = {})
    {
        target.empty() ? WriteFile(dev() / name, "") : fs::create_symlink(target, dev() / name);
    }
    void AddLink(int number, const std::string& target) { fs::create_symlink(target, Link(number)); }
    fs::path Link(int number) const { return map() / ("com" + std::to_string(number)); }
    void WriteLock(const std::string& name, long pid)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%10ld\n", pid);
        WriteFile(locks() / ("LCK.." + name), text);
    }

private:
    fs::path root() const { return dir_.path().toStdString(); }
    QTemporaryDir dir_;
};

// The port numbers discovery lists, in its order.
inline Numbers Listed(const transport::DiscoveryRoots& roots, transport::HolderWatch* watch = nullptr,
                      bool skipBusy = true)
{
    std::vector<transport::SSerInfo> ports{transport::SSerInfo{}};  // emptied first
    transport::EnumerateSerialPorts(ports, skipBusy, roots, watch);
    Numbers numbers;
    for (const auto& p : ports) {
        numbers.push_back(transport::PortNumberFromFriendlyName(p.friendlyName));
    }
    return numbers;
}

inline QStringList Texts(const platform::ComboBox& list)
{
    QStringList texts;
    for (int i = 0; i < list.GetCount(); ++i) {
        texts << list.GetLBText(i);
    }
    return texts;
}

// Counts every change of a list's model.
class ModelWatch {
public:
    explicit ModelWatch(QAbstractItemModel* model)
    {
        auto bump = [this] { ++changes; };
        QObject::connect(model, &QAbstractItemModel::rowsInserted, &context_, bump);
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, &context_, bump);
        QObject::connect(model, &QAbstractItemModel::modelReset, &context_, bump);
        QObject::connect(model, &QAbstractItemModel::dataChanged, &context_, bump);
        QObject::connect(model, &QAbstractItemModel::layoutChanged, &context_, bump);
    }
    int changes = 0;

private:
    QObject context_;
};

}  // namespace velmora::discovery_test
