// One chat command from the host's dispatch to the player's screen, for each reply kind, with
// the plugin library loaded the way the host loads it. Also counts the game lookups and
// allocator calls one dispatch makes, and checks that memory stays flat over a million.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"
#include "devhost/host/Host.h"
#include "devhost/host/PluginLoader.h"
#include "tests/support/ServerFolder.h"

namespace {

using devhost::DispatchResult;
using devhost::Host;
using devhost::TraceEvent;

constexpr std::string_view kReply = "Welcome! Build away from spawn, be kind and have fun here :)";
static_assert(kReply.size() == 60, "the measured reply is 60 characters");

std::string Config() {
  const std::string reply(kReply);
  return R"({"ChatCommands":[
    {"Command":"/serverchat","Type":"ServerChat","Reply":")" +
         reply + R"(","Color":[1,0.5,0,1]},
    {"Command":"/clientchat","Type":"ClientChat","Reply":")" +
         reply + R"("},
    {"Command":"/notification","Type":"Notification","Reply":")" +
         reply + R"(",
     "Color":[1,1,1,1],"DisplayScale":1.5,"DisplayTime":10}]})";
}

void Dispatch(Host& host, AShooterPlayerController& player, std::string_view command) {
  const DispatchResult result = host.DispatchChat(&player, command);
  if (result.status != DispatchResult::Status::Done) {
    std::abort();
  }
}

void BM_Dispatch(benchmark::State& state, std::string_view command) {
  Host& host = Host::Instance();
  AShooterPlayerController& player = host.Player("bench");
  for (auto _ : state) {
    Dispatch(host, player, command);
  }
  player.ClearScreen();

  // One more dispatch, recorded, to count what crosses into the game.
  host.GetTrace().Start();
  Dispatch(host, player, command);
  double lookups = 0;
  double reallocs = 0;
  double frees = 0;
  for (const TraceEvent& event : host.GetTrace().Stop()) {
    lookups += event.kind == TraceEvent::Kind::Lookup;
    reallocs += event.kind == TraceEvent::Kind::Realloc;
    frees += event.kind == TraceEvent::Kind::Free;
  }
  state.counters["lookups"] = lookups;
  state.counters["reallocs"] = reallocs;
  state.counters["frees"] = frees;
  state.counters["live_blocks"] = static_cast<double>(host.Allocator().Stats().live_blocks);
  player.ClearScreen();
}

// A million dispatches, the three kinds in turn: the game allocator must end balanced and
// the resident set must not grow once warm.
void BM_MillionDispatchesMemory(benchmark::State& state) {
  Host& host = Host::Instance();
  AShooterPlayerController& player = host.Player("bench");
  const std::string_view commands[] = {"/serverchat", "/clientchat", "/notification"};
  for (auto _ : state) {
    for (int i = 0; i < 30000; ++i) {
      Dispatch(host, player, commands[i % 3]);
    }
    const std::size_t warm = bench::ResidentKib();
    std::size_t peak = warm;
    for (int i = 0; i < 1000000; ++i) {
      Dispatch(host, player, commands[i % 3]);
      if (i % 50000 == 0) {
        peak = std::max(peak, bench::ResidentKib());
      }
    }
    const std::size_t end = bench::ResidentKib();
    peak = std::max(peak, end);
    state.counters["rss_warm_KiB"] = static_cast<double>(warm);
    state.counters["rss_peak_KiB"] = static_cast<double>(peak);
    state.counters["rss_growth_KiB"] = static_cast<double>(peak - warm);
    state.counters["live_blocks"] = static_cast<double>(host.Allocator().Stats().live_blocks);
  }
  player.ClearScreen();
}

}  // namespace

BENCHMARK_CAPTURE(BM_Dispatch, ServerChat, "/serverchat")->Repetitions(5);
BENCHMARK_CAPTURE(BM_Dispatch, ClientChat, "/clientchat")->Repetitions(5);
BENCHMARK_CAPTURE(BM_Dispatch, Notification, "/notification")->Repetitions(5);
BENCHMARK(BM_MillionDispatchesMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  bench::AddMachineContext();
  benchmark::AddCustomContext("reply_length", std::to_string(kReply.size()));

  test_support::ServerFolder server;
  server.WriteConfig(Config());
  Host& host = Host::Instance();
  host.SetServerDir(server.Path());
  devhost::StartReport report;
  std::unique_ptr<devhost::LoadedPlugin> plugin =
      devhost::LoadedPlugin::Load(QUORVANE_PLUGIN_PATH, report);
  if (!plugin) {
    return 2;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  plugin.reset();
  return host.Allocator().Stats().live_blocks == 0 ? 0 : 3;
}
