// LoadConfig against the JSON library's own stream extraction (operator>>) on the same
// generated config.json of 10, 1,000 and 10,000 entries, and between them the same extraction
// with the nesting guard alone (ParseFirstValue on an opened stream). All read the file from
// disk. The ratios of the medians are printed at the end.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "bench/BenchSupport.h"
#include "config/ConfigDocument.h"
#include "config/FirstValueParser.h"
#include "devhost/host/Host.h"
#include "tests/support/ServerFolder.h"

using quorvane::ConfigDocument;
using quorvane::LoadConfig;
using quorvane::ParseFirstValue;

namespace {

test_support::ServerFolder* server = nullptr;

// Entries of all three kinds, pretty-printed as operators write the file.
std::string GenerateConfig(int entries) {
  nlohmann::json commands = nlohmann::json::array();
  for (int i = 0; i < entries; ++i) {
    const std::string name = "/command" + std::to_string(i);
    const std::string reply =
        "Reply number " + std::to_string(i) + " with some {{braces}} and text";
    switch (i % 3) {
      case 0:
        commands.push_back({{"Command", name},
                            {"Type", "ServerChat"},
                            {"Reply", reply},
                            {"Color", {1, 0.5, 0, 1}}});
        break;
      case 1:
        commands.push_back({{"Command", name}, {"Type", "ClientChat"}, {"Reply", reply}});
        break;
      default:
        commands.push_back({{"Command", name},
                            {"Type", "Notification"},
                            {"Reply", reply},
                            {"Color", {1, 1, 1, 1}},
                            {"DisplayScale", 1.5},
                            {"DisplayTime", 10}});
        break;
    }
  }
  return nlohmann::json{{"ChatCommands", std::move(commands)}}.dump(2);
}

void Prepare(benchmark::State& state) {
  const std::string text = GenerateConfig(static_cast<int>(state.range(0)));
  server->WriteConfig(text);
  state.counters["file_bytes"] = static_cast<double>(text.size());
}

void BM_LoadConfig(benchmark::State& state) {
  Prepare(state);
  for (auto _ : state) {
    LoadConfig();
    benchmark::DoNotOptimize(ConfigDocument);
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(state.counters["file_bytes"].value));
}

void BM_LibraryExtraction(benchmark::State& state) {
  Prepare(state);
  const std::string path = server->ConfigPath().string();
  for (auto _ : state) {
    std::ifstream file(path);
    nlohmann::json document;
    file >> document;
    benchmark::DoNotOptimize(document);
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(state.counters["file_bytes"].value));
}

void BM_GuardedExtraction(benchmark::State& state) {
  Prepare(state);
  const std::string path = server->ConfigPath().string();
  for (auto _ : state) {
    std::ifstream file(path);
    nlohmann::json document = ParseFirstValue(file);
    benchmark::DoNotOptimize(document);
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(state.counters["file_bytes"].value));
}

// Keeps each benchmark's median real and CPU time per size, then prints LoadConfig / library.
// CPU time is the steadier of the two on a shared machine.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(::isatty(::fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        Times& times = medians_[std::stoi(run.run_name.args)][run.run_name.function_name];
        times.real = run.GetAdjustedRealTime();
        times.cpu = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const {
    std::printf(
        "\nCPU medians on the same file: LoadConfig, the library's operator>> with the nesting"
        "\nguard alone, and the library's operator>>\n");
    std::printf("%8s %14s %14s %14s %10s %10s\n", "entries", "LoadConfig", "guarded", "library",
                "ours/lib", "guard/lib");
    for (const auto& [entries, by_name] : medians_) {
      const auto ours = by_name.find("BM_LoadConfig");
      const auto guarded = by_name.find("BM_GuardedExtraction");
      const auto library = by_name.find("BM_LibraryExtraction");
      if (ours == by_name.end() || guarded == by_name.end() || library == by_name.end()) {
        continue;
      }
      std::printf("%8d %11.1f us %11.1f us %11.1f us %10.3f %10.3f\n", entries, ours->second.cpu,
                  guarded->second.cpu, library->second.cpu, ours->second.cpu / library->second.cpu,
                  guarded->second.cpu / library->second.cpu);
    }
    std::fflush(stdout);
  }

 private:
  struct Times {
    double real = 0;
    double cpu = 0;
  };
  std::map<int, std::map<std::string, Times>> medians_;
};

}  // namespace

// Each size side by side, so the readers meet the same machine conditions.
BENCHMARK(BM_LoadConfig)->Arg(10)->Repetitions(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GuardedExtraction)->Arg(10)->Repetitions(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LibraryExtraction)->Arg(10)->Repetitions(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadConfig)->Arg(1000)->Repetitions(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GuardedExtraction)->Arg(1000)->Repetitions(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LibraryExtraction)->Arg(1000)->Repetitions(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadConfig)->Arg(10000)->Repetitions(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GuardedExtraction)->Arg(10000)->Repetitions(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LibraryExtraction)->Arg(10000)->Repetitions(10)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  bench::AddMachineContext();
  test_support::ServerFolder folder;
  server = &folder;
  devhost::Host::Instance().SetServerDir(folder.Path());

  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
