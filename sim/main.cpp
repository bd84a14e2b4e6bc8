// velmora-sim: the simulated switcher as a program.

#include "sim/cli_options.h"
#include "sim/simulator.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace velmora::sim;
    const CliResult cli = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (cli.help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    if (cli.version) {
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    }
    if (!cli.error.empty()) {
        std::fprintf(stderr, "velmora-sim: %s\n(see velmora-sim --help)\n", cli.error.c_str());
        return 2;
    }

    // Block the stop signals in every thread; the main thread waits for them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    Simulator sim(cli.options);
    if (!sim.Start()) {
        return 1;
    }
    if (!sim.PtyPath().empty()) {
        std::printf("pty %s\n", sim.PtyPath().c_str());
    }
    if (!sim.LinkPath().empty()) {
        std::printf("link %s\n", sim.LinkPath().c_str());
    }
    if (sim.TcpPort() != 0) {
        std::printf("tcp %s:%d\n", cli.options.tcpBind.c_str(), sim.TcpPort());
    }
    if (sim.SearchPort() != 0) {
        std::string where = cli.options.udpBroadcast ? "broadcast" : "";
        if (!cli.options.udpBind.empty()) {
            where += (where.empty() ? "" : " ") + cli.options.udpBind;
        }
        std::printf("udp %s search %d config %d\n", where.c_str(), sim.SearchPort(), sim.ConfigPort());
    }
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    sim.Stop();
    return 0;
}
