#pragma once
// Helpers of the discovery tests: temporary trees, pseudo-terminals, a fake
// sysfs, and a watch on the port list's model.

#include "app/port_list_refresh.h"
#include "platform/combo_box.h"
#include "transport/port_discovery.h"

#include <QAbstractItemModel>
#include <QObject>
#include <QStringList>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace velmora::discovery_test {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "velmora-disc-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed";
        }
        path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// A pseudo-terminal pair; the slave's path stands for a serial device.
class Pty {
public:
    Pty()
    {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
            ADD_FAILURE() << "openpty failed";
        }
        path_ = name;
        // Not inherited by the processes a test starts.
        ::fcntl(master_, F_SETFD, FD_CLOEXEC);
        ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    }
    ~Pty()
    {
        if (slave_ >= 0)
            ::close(slave_);
        if (master_ >= 0)
            ::close(master_);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    const std::string& path() const { return path_; }
    // The lock file name of the slave: "pts-7" for /dev/pts/7.
    std::string LockName() const { return "pts-" + fs::path(path_).filename().string(); }

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

// A sysfs, /dev, lock and port map tree below one temporary directory. With
// nothing added it holds no ports at all, which keeps the machine's own ports
// out of a test.
class FakeSystem {
public:
    FakeSystem()
    {
        fs::create_directories(sys() / "class" / "tty");
        fs::create_directories(dev());
        fs::create_directories(locks());
        fs::create_directories(map());
        fs::create_directories(proc());
        WriteFile(proc() / "locks", "");
    }

    fs::path sys() const { return dir_.path() / "sys"; }
    fs::path dev() const { return dir_.path() / "dev"; }
    fs::path locks() const { return dir_.path() / "lock"; }
    fs::path map() const { return dir_.path() / "map"; }
    fs::path proc() const { return dir_.path() / "proc"; }

    // Roots with the real /proc (so locks and processes are the machine's).
    transport::DiscoveryRoots Roots() const
    {
        transport::DiscoveryRoots roots;
        roots.sysfs = sys().string();
        roots.dev = dev().string();
        roots.lockDirs = {locks().string()};
        roots.portMapDir = map().string();
        return roots;
    }

    // A tty class entry whose device sits at devices/<devicePath>; driver
    // names the driver of that device.
    void AddTty(const std::string& name, const std::string& devicePath, const std::string& driver)
    {
        const fs::path device = sys() / "devices" / devicePath;
        fs::create_directories(device);
        fs::create_directories(sys() / "bus" / "drivers" / driver);
        fs::create_symlink(sys() / "bus" / "drivers" / driver, device / "driver");
        const fs::path entry = sys() / "class" / "tty" / name;
        fs::create_directories(entry);
        fs::create_symlink(device, entry / "device");
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
    // A USB device (usb1/1-<n>) with its strings; empty strings are left out.
    fs::path AddUsbDevice(int n, const std::string& manufacturer, const std::string& product)
    {
        const fs::path device = sys() / "devices" / "pci0000:00" / "usb1" / ("1-" + std::to_string(n));
        fs::create_directories(device);
        WriteFile(device / "idVendor", "0403\n");
        if (!manufacturer.empty())
            WriteFile(device / "manufacturer", manufacturer + "\n");
        if (!product.empty())
            WriteFile(device / "product", product + "\n");
        return fs::path("pci0000:00") / "usb1" / ("1-" + std::to_string(n)) / ("1-" + std::to_string(n) + ":1.0");
    }
    // The device node: a link to a pseudo-terminal, or a plain file.
    void AddNode(const std::string& name, const std::string& target = {})
    {
        if (target.empty()) {
            WriteFile(dev() / name, "");
        } else {
            fs::create_symlink(target, dev() / name);
        }
    }
    void AddLink(int number, const std::string& target)
    {
        fs::create_symlink(target, map() / ("com" + std::to_string(number)));
    }
    void RemoveLink(int number) { fs::remove(map() / ("com" + std::to_string(number))); }
    void WriteLock(const std::string& name, long pid)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%10ld\n", pid);
        WriteFile(locks() / ("LCK.." + name), text);
    }

private:
    TempDir dir_;
};

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

QT_BEGIN_NAMESPACE
inline void PrintTo(const QStringList& list, std::ostream* os) { *os << '{' << list.join(", ").toStdString() << '}'; }
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace velmora::discovery_test {

// The port numbers of what discovery found, in its order.
inline std::vector<int> Numbers(const std::vector<transport::SSerInfo>& ports)
{
    std::vector<int> numbers;
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

}  // namespace velmora::discovery_test
