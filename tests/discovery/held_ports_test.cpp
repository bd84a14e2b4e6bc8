// Ports held by other programs without a lock, and ports this user may not
// open: seen from outside, through /proc and access(2), with real
// pseudo-terminals and real second processes.

#include "discovery_fixtures.h"

#include "transport/port_holders.h"

#include <grp.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>

#include <functional>
#include <sstream>

namespace velmora::discovery_test {
namespace {

// A second program: the child runs `setup`, which may write a report for the
// test, and then becomes `sleep` with what setup left open, or ends when
// setup returns false. The constructor returns once the child has exec'd or
// ended (the report pipe is close-on-exec), so what setup opened is held by
// another program from then on.
class OtherProgram {
public:
    explicit OtherProgram(const std::function<bool(int report)>& setup)
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
        char buffer[256];
        for (ssize_t n = 0; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR);) {
            report_.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        }
        ::close(pipe[0]);
    }
    ~OtherProgram() { End(); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

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

bool Write(int fd, const std::string& text) { return ::write(fd, text.data(), text.size()) == ssize_t(text.size()); }

// Opens the device as a terminal program that wants it alone does: TIOCEXCL,
// no lock file, no flock.
bool OpenExclusive(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    return fd >= 0 && ::ioctl(fd, TIOCEXCL) == 0;
}

// Neither a lock file nor a kernel lock shows such a port: only its
// descriptor. The watch scans other programs' descriptors again only when a
// port was opened or closed, or the ports changed; it still sees every change.
TEST(HeldPorts, PtyHeldWithTiocexclAndNoLockIsLeftOutAndWatched)
{
    FakeSystem system;
    Pty a, b;
    system.AddLink(7, a.path());
    transport::HolderWatch watch;
    const auto listedTwice = [&](const Numbers& expected, int scans) {
        EXPECT_EQ(Listed(system.Roots(), &watch), expected);
        EXPECT_EQ(Listed(system.Roots(), &watch), expected);
        EXPECT_EQ(watch.Scans(), scans);
    };
    listedTwice({7}, 1);
    OtherProgram holder([&](int) { return OpenExclusive(a.path()); });
    ASSERT_TRUE(holder.Running());
    listedTwice({}, 2);
    EXPECT_EQ(Listed(system.Roots()), (Numbers{}));
    auto blind = system.Roots();
    blind.scanProcessFds = false;
    EXPECT_EQ(Listed(blind), (Numbers{7}));
    system.AddLink(8, b.path());
    listedTwice({8}, 3);
    holder.End();
    listedTwice({7, 8}, 4);
}

// A program that made a pseudo-terminal and keeps its slave open to keep the
// line up (a simulated switcher of its own) offers the port; a program that
// then opens that slave holds it.
TEST(HeldPorts, PtyOfferedByItsMakerIsListedUntilAnotherProgramOpensIt)
{
    FakeSystem system;
    OtherProgram maker([](int report) {
        int master = -1;
        int slave = -1;
        char name[128] = {};
        return ::openpty(&master, &slave, name, nullptr, nullptr) == 0 && Write(report, std::string(name) + "\n");
    });
    ASSERT_TRUE(maker.Running());
    const std::string slave = maker.Report().substr(0, maker.Report().find('\n'));
    ASSERT_FALSE(slave.empty());
    system.AddLink(9, slave);
    EXPECT_EQ(Listed(system.Roots()), (Numbers{9}));
    OtherProgram user([&](int) { return OpenExclusive(slave); });
    ASSERT_TRUE(user.Running());
    EXPECT_EQ(Listed(system.Roots()), (Numbers{}));
}

// Root may open any node, so when the test runs as root (as in CI) a child
// drops to the unprivileged ids 65534 first; the real access(2) decides.
TEST(HeldPorts, PortThisUserMayNotReadAndWriteIsLeftOut)
{
    FakeSystem system;
    Pty open, closed;
    system.AddLink(5, open.path());
    system.AddLink(6, closed.path());
    using fs::perms;
    fs::permissions(system.sys().parent_path(),
                    perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec);
    fs::permissions(open.path(), perms::owner_read | perms::owner_write | perms::group_read | perms::group_write |
                                     perms::others_read | perms::others_write);
    fs::permissions(closed.path(), perms::none);
    const OtherProgram ordinary([&](int report) {
        constexpr id_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            return false;
        }
        std::string text;
        try {
            for (const int n : Listed(system.Roots())) {
                text += std::to_string(n) + " ";
            }
        } catch (const std::exception& error) {
            text = error.what();
        }
        Write(report, text);
        return false;
    });
    EXPECT_EQ(ordinary.Report(), "5 ");
}

TEST(HeldPorts, PtyIndexOfAMasterFromItsFdinfo)
{
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"pos:\t0\nflags:\t02100002\nmnt_id:\t24\nino:\t90\ntty-index:\t3\n", 3}, {"tty-index:\t12", 12},
        {"tty-index: 0\n", 0}, {"pos:\t0\nflags:\t02\n", -1}, {"tty-index:\t\n", -1}, {"tty-index:\t3x\n", -1},
        {"tty-index:\t-1\n", -1}, {"xtty-index:\t4\n", -1}, {"tty-index:\t99999999999999999999\n", -1}};
    // clang-format on
    for (const auto& [text, index] : cases) {
        EXPECT_EQ(transport::PtyIndexFromFdinfo(text), index) << text;
    }
}

}  // namespace
}  // namespace velmora::discovery_test
