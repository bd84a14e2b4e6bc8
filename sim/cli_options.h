#pragma once
// Command line of velmora-sim.

#include "sim/sim_options.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::sim {

struct CliResult {
    SimOptions options;
    bool help = false;
    bool version = false;
    std::string error;  // not empty: the command line was wrong
};

CliResult ParseCommandLine(const std::vector<std::string>& args);
std::string HelpText();
std::string VersionText();

}  // namespace velmora::sim
