#pragma once
// velmoractl's commands. Each returns what it prints, as one JSON value, or
// throws CliError.

#include "exchange.h"
#include "json.h"
#include "options.h"

namespace velmora::cli {

Json RunPorts(const Options& options);
Json RunSearch(const Options& options);
Json RunConfigure(const Options& options);
Json RunStatus(const Options& options, Exchange& exchange);
// Throws CliError when a setting or value of `set` is refused, before any line opens.
void CheckSet(const Options& options);
Json RunSet(const Options& options, Exchange& exchange);
void CheckRaw(const Options& options);
Json RunRaw(const Options& options, Exchange& exchange);

}  // namespace velmora::cli
