// Start-up cost with 10,000 chat commands: their registration alone, and the whole start
// (logger, LoadConfig, registration, reload command) as the host's process-attach runs it.

#include <string>
#include <utility>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "bench/BenchSupport.h"
#include "commands/RegisterChatCommands.h"
#include "config/ConfigDocument.h"
#include "devhost/host/Host.h"
#include "plugin/StartPlugin.h"
#include "tests/support/ServerFolder.h"

using quorvane::LoadConfig;
using quorvane::RegisterChatCommands;
using quorvane::StartPlugin;

namespace {

constexpr int kCommands = 10000;

std::string GenerateConfig() {
  nlohmann::json commands = nlohmann::json::array();
  for (int i = 0; i < kCommands; ++i) {
    commands.push_back({{"Command", "/command" + std::to_string(i)},
                        {"Type", "ServerChat"},
                        {"Reply", "Reply number " + std::to_string(i)},
                        {"Color", {1, 0.5, 0, 1}}});
  }
  return nlohmann::json{{"ChatCommands", std::move(commands)}}.dump(2);
}

void ClearRegistry(benchmark::State& state) {
  state.PauseTiming();
  devhost::Host::Instance().Registry().Clear();
  state.ResumeTiming();
}

void BM_RegisterChatCommands(benchmark::State& state) {
  LoadConfig();
  for (auto _ : state) {
    RegisterChatCommands();
    ClearRegistry(state);
  }
  state.counters["commands"] = kCommands;
}

void BM_StartPlugin(benchmark::State& state) {
  for (auto _ : state) {
    StartPlugin();
    ClearRegistry(state);
  }
  state.counters["commands"] = kCommands;
}

}  // namespace

BENCHMARK(BM_RegisterChatCommands)->Repetitions(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartPlugin)->Repetitions(5)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  bench::AddMachineContext();
  test_support::ServerFolder server;
  server.WriteConfig(GenerateConfig());
  devhost::Host& host = devhost::Host::Instance();
  host.SetServerDir(server.Path());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // Every game string made while registering must have been handed back.
  return host.Allocator().Stats().live_blocks == 0 ? 0 : 3;
}
