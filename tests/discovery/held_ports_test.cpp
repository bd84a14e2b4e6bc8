// Ports held by other processes without a lock, and ports this user may not
// open: seen from outside, through /proc and access(2), with real
// pseudo-terminals and real second processes.

#include "discovery_fixtures.h"

#include "app/port_list_refresh.h"
#include "transport/port_holders.h"

#include <grp.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>

#include <functional>
#include <sstream>
#include <vector>

namespace velmora::discovery_test {
namespace {

using transport::EnumerateSerialPorts;
using transport::SSerInfo;

// Reads what a child writes until it closes its end (or execs: the end is
// close-on-exec).
std::string ReadToEnd(int fd)
{
    std::string text;
    char buffer[256];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        text.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    }
    return text;
}

// A second program: the child runs `setup`, which may write a line for the
// test, and then becomes `sleep` with the descriptors setup left open. The
// constructor returns once the exec has happened, so what setup opened is
// held by another program from then on.
class HoldingProcess {
public:
    explicit HoldingProcess(const std::function<bool(int report)>& setup)
    {
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "pipe failed";
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(pipe[0]);
            if (setup(pipe[1])) {
                ::execlp("sleep", "sleep", "60", static_cast<char*>(nullptr));
            }
            ::_exit(1);
        }
        ::close(pipe[1]);
        report_ = ReadToEnd(pipe[0]);
        ::close(pipe[0]);
    }
    ~HoldingProcess() { End(); }
    HoldingProcess(const HoldingProcess&) = delete;
    HoldingProcess& operator=(const HoldingProcess&) = delete;

    bool Running() const { return pid_ > 0 && ::kill(pid_, 0) == 0; }
    const std::string& Report() const { return report_; }
    void End()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    std::string report_;
};

// Opens the device as a terminal program that wants it alone does: TIOCEXCL,
// no lock file, no flock.
bool OpenExclusive(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    return fd >= 0 && ::ioctl(fd, TIOCEXCL) == 0;
}

TEST(HeldPorts, PtyHeldWithTiocexclAndNoLockIsLeftOut)
{
    FakeSystem system;
    Pty a, b;
    system.AddLink(7, a.path());
    system.AddLink(8, b.path());
    auto roots = system.Roots();
    std::vector<SSerInfo> ports;

    HoldingProcess holder([&](int) { return OpenExclusive(a.path()); });
    ASSERT_TRUE(holder.Running());
    EnumerateSerialPorts(ports, true, roots);
    EXPECT_EQ(Numbers(ports), (std::vector<int>{8}));
    // Neither a lock file nor a kernel lock shows it: only its descriptor.
    roots.scanProcessFds = false;
    EnumerateSerialPorts(ports, true, roots);
    EXPECT_EQ(Numbers(ports), (std::vector<int>{7, 8}));
    roots.scanProcessFds = true;

    holder.End();
    EnumerateSerialPorts(ports, true, roots);
    EXPECT_EQ(Numbers(ports), (std::vector<int>{7, 8}));
}

// The refresh's watch scans other programs' descriptors only when a port
// was opened or closed, or the ports changed; it still sees every change.
TEST(HeldPorts, WatchScansAgainOnlyWhenAPortWasOpenedOrClosed)
{
    FakeSystem system;
    Pty a, b;
    system.AddLink(7, a.path());
    const auto roots = system.Roots();
    transport::HolderWatch watch;
    std::vector<SSerInfo> ports;
    auto listed = [&] {
        EnumerateSerialPorts(ports, true, roots, &watch);
        return Numbers(ports);
    };
    EXPECT_EQ(listed(), (std::vector<int>{7}));
    EXPECT_EQ(listed(), (std::vector<int>{7}));
    EXPECT_EQ(watch.Scans(), 1);

    HoldingProcess holder([&](int) { return OpenExclusive(a.path()); });
    EXPECT_EQ(listed(), (std::vector<int>{}));
    EXPECT_EQ(listed(), (std::vector<int>{}));
    EXPECT_EQ(watch.Scans(), 2);

    system.AddLink(8, b.path());
    EXPECT_EQ(listed(), (std::vector<int>{8}));
    EXPECT_EQ(watch.Scans(), 3);

    holder.End();
    EXPECT_EQ(listed(), (std::vector<int>{7, 8}));
    EXPECT_EQ(listed(), (std::vector<int>{7, 8}));
    EXPECT_EQ(watch.Scans(), 4);
}

// The program that made a pseudo-terminal and keeps its slave open to keep
// the line up (a simulated switcher in a process of its own) offers the
// port; a program that then opens that slave holds it.
TEST(HeldPorts, PtyOfferedByItsMakerIsListedUntilAnotherProgramOpensIt)
{
    FakeSystem system;
    HoldingProcess maker([](int report) {
        int master = -1;
        int slave = -1;
        char name[128] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
            return false;
        }
        const std::string line = std::string(name) + "\n";
        return ::write(report, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    });
    ASSERT_TRUE(maker.Running());
    const std::string slave = maker.Report().substr(0, maker.Report().find('\n'));
    ASSERT_FALSE(slave.empty());
    system.AddLink(9, slave);
    std::vector<SSerInfo> ports;
    EnumerateSerialPorts(ports, true, system.Roots());
    EXPECT_EQ(Numbers(ports), (std::vector<int>{9}));

    HoldingProcess user([&](int) { return OpenExclusive(slave); });
    ASSERT_TRUE(user.Running());
    EnumerateSerialPorts(ports, true, system.Roots());
    EXPECT_TRUE(ports.empty());
}

// Root may open any node, so the check is run as an ordinary user: in a
// child that, when the test runs as root (as in CI), first drops to the
// unprivileged ids 65534. The real access(2) decides either way.
std::vector<int> EnumerateAsOrdinaryUser(const FakeSystem& system)
{
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr id_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(2);
        }
        std::string text;
        try {
            std::vector<SSerInfo> ports;
            EnumerateSerialPorts(ports, true, system.Roots());
            for (const int n : Numbers(ports)) {
                text += std::to_string(n) + " ";
            }
        } catch (const std::exception& error) {
            text = error.what();
        }
        const bool written = ::write(pipe[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(written ? 0 : 1);
    }
    ::close(pipe[1]);
    const std::string text = ReadToEnd(pipe[0]);
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;
    std::vector<int> numbers;
    std::istringstream in(text);
    for (int n = 0; in >> n;) {
        numbers.push_back(n);
    }
    EXPECT_FALSE(numbers.empty()) << text;
    return numbers;
}

TEST(HeldPorts, PortThisUserMayNotReadAndWriteIsLeftOut)
{
    FakeSystem system;
    Pty open, closed;
    system.AddLink(5, open.path());
    system.AddLink(6, closed.path());
    fs::permissions(system.sys().parent_path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                                    fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(open.path(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                     fs::perms::group_write | fs::perms::others_read | fs::perms::others_write);
    fs::permissions(closed.path(), fs::perms::none);
    EXPECT_EQ(EnumerateAsOrdinaryUser(system), (std::vector<int>{5}));
}

TEST(HeldPorts, PtyIndexOfAMasterFromItsFdinfo)
{
    const struct {
        const char* text;
        int index;
    } cases[] = {
        {"pos:\t0\nflags:\t02100002\nmnt_id:\t24\nino:\t90\ntty-index:\t3\n", 3},
        {"tty-index:\t12", 12},
        {"tty-index: 0\n", 0},
        {"pos:\t0\nflags:\t02\n", -1},
        {"tty-index:\t\n", -1},
        {"tty-index:\t3x\n", -1},
        {"tty-index:\t-1\n", -1},
        {"xtty-index:\t4\n", -1},
        {"tty-index:\t99999999999999999999\n", -1},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(transport::PtyIndexFromFdinfo(k.text), k.index) << k.text;
    }
}

}  // namespace
}  // namespace velmora::discovery_test
