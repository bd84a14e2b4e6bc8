#pragma once
// The panel's command line: the demo and the port map directory.

#include <QStringList>

#include <optional>

namespace velmora::app {

struct Options {
    bool demo = false;
    QString portDir;  // empty: the environment's, if any
    std::optional<int> exitCode;  // set after --help or a wrong option: end at once
};

Options ParseOptions(const QStringList& arguments);

}  // namespace velmora::app
