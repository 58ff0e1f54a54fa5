#pragma once
// What in each entry made its command send nothing or fail, read from the document the plugin
// loaded.

#include <vector>

#include "devhost/findings/ConfigCheck.h"
#include "devhost/probe/CommandProbe.h"

namespace devhost {

// `document`, when given, is the configuration the plugin loaded; it is read apart from the
// probing so that it can be parsed while the plugin runs.
void ExplainProbes(std::vector<ProbeResult>& probes, const LoadedDocument* document);

}  // namespace devhost
