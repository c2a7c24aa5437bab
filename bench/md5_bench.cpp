// MD5 update throughput of each compression path beside OpenSSL's, in the same run, and the
// aggregate throughput of each multi-lane compression (every lane a message of its own). Each case
// is repeated (5 times unless told otherwise) in random order so that the machine's changing load
// falls on all of them alike; the summary compares the medians.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/md5.h"
#include "engine/md5_dispatch.h"
#include "engine/md5_lanes.h"

namespace {

enum class Engine { OpenSsl, Portable, Avx512, Default };

const char* engineName(Engine engine) {
    switch (engine) {
    case Engine::OpenSsl:
        return "openssl";
    case Engine::Portable:
        return "portable";
    case Engine::Avx512:
        return "avx512";
    case Engine::Default:
        return "default";
    }
    return "?";
}

std::vector<std::uint8_t> input(std::size_t size) {
    std::vector<std::uint8_t> data(size);
    std::uint32_t x = 2463534242u;
    for (auto& byte : data) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        byte = static_cast<std::uint8_t>(x);
    }
    return data;
}

void updateOpenSsl(benchmark::State& state, std::size_t size) {
    const auto data = input(size);
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    EVP_DigestInit_ex(context, EVP_md5(), nullptr);
    for (auto _ : state) {
        EVP_DigestUpdate(context, data.data(), size);
        benchmark::ClobberMemory();
    }
    EVP_MD_CTX_free(context);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void updateOurs(benchmark::State& state, Engine engine, std::size_t size) {
    if (engine == Engine::Default) {
        md5UseDefaultPath();
    } else if (!md5ForcePath(engine == Engine::Portable ? Md5Path::Portable : Md5Path::Avx512)) {
        state.SkipWithError("this CPU cannot run the path");
        return;
    }
    const auto data = input(size);
    Md5Context context;
    context.init();
    for (auto _ : state) {
        context.update(data.data(), static_cast<std::uint32_t>(size));
        benchmark::DoNotOptimize(context.state);
        benchmark::ClobberMemory();
    }
    md5UseDefaultPath();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

const Md5LanePath LANE_PATHS[] = {Md5LanePath::Portable, Md5LanePath::Avx2, Md5LanePath::Avx512};

const char* lanePathName(Md5LanePath path) {
    return path == Md5LanePath::Portable ? "portable"
           : path == Md5LanePath::Avx2   ? "avx2"
                                         : "avx512";
}

// Every lane of the path compresses size bytes of its own message per iteration.
void lanesOurs(benchmark::State& state, Md5LanePath path, std::size_t size) {
    const Md5LaneFunction lanes = md5LaneFunction(path);
    if (lanes == nullptr) {
        state.SkipWithError("this CPU cannot run the path");
        return;
    }
    const int width = md5LaneWidth(path);
    const auto data = input(size * static_cast<std::size_t>(width));
    const std::uint8_t* messages[MD5_MAX_LANES];
    for (int i = 0; i < width; ++i) {
        messages[i] = data.data() + size * static_cast<std::size_t>(i);
    }
    Md5LaneState lanesState{};
    for (auto _ : state) {
        lanes(lanesState, messages, size / 64);
        benchmark::DoNotOptimize(lanesState);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size * width));
}

std::string laneCaseName(Md5LanePath path, const char* size) {
    return std::string("md5_lanes/") + lanePathName(path) + "/" + size;
}

// Shows every run as usual and keeps the median throughput of each case for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const auto rate = run.counters.find("bytes_per_second");
            if ((median || single) && !run.error_occurred && rate != run.counters.end()) {
                bytesPerSecond[run.run_name.function_name] = rate->second.value;
            }
        }
    }

    std::map<std::string, double> bytesPerSecond;
};

std::string caseName(Engine engine, const char* size) {
    return std::string("md5_update/") + engineName(engine) + "/" + size;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    bool repetitionsGiven = false;
    for (int i = 1; i < argc; ++i) {
        repetitionsGiven =
            repetitionsGiven || std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0;
    }
    if (!repetitionsGiven) {
        args.insert(args.begin() + 1, {repetitions.data(), interleave.data()});
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());

    const std::pair<const char*, std::size_t> sizes[] = {{"16KiB", 16 * 1024}, {"1MiB", 1 << 20}};
    const Engine engines[] = {Engine::OpenSsl, Engine::Portable, Engine::Avx512, Engine::Default};
    for (const auto& [label, size] : sizes) {
        for (Engine engine : engines) {
            const std::size_t bytes = size;
            auto* bench = benchmark::RegisterBenchmark(caseName(engine, label).c_str(),
                                                       [engine, bytes](benchmark::State& state) {
                                                           if (engine == Engine::OpenSsl) {
                                                               updateOpenSsl(state, bytes);
                                                           } else {
                                                               updateOurs(state, engine, bytes);
                                                           }
                                                       });
            bench->ReportAggregatesOnly(true);
        }
        for (Md5LanePath path : LANE_PATHS) {
            const std::size_t bytes = size;
            benchmark::RegisterBenchmark(
                laneCaseName(path, label).c_str(),
                [path, bytes](benchmark::State& state) { lanesOurs(state, path, bytes); })
                ->ReportAggregatesOnly(true);
        }
    }

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const char* chosen = md5DefaultPath() == Md5Path::Avx512 ? "avx512" : "portable";
    std::printf("\nMD5 update throughput against OpenSSL, medians of the same run "
                "(default path on this CPU: %s)\n",
                chosen);
    std::printf("%-8s %14s %10s %10s %10s\n", "size", "openssl MB/s", "portable", "avx512",
                "default");
    for (const auto& [label, size] : sizes) {
        const auto& rates = reporter.bytesPerSecond;
        const auto base = rates.find(caseName(Engine::OpenSsl, label));
        if (base == rates.end()) {
            continue;
        }
        std::printf("%-8s %14.1f", label, base->second / 1e6);
        for (Engine engine : {Engine::Portable, Engine::Avx512, Engine::Default}) {
            const auto ours = rates.find(caseName(engine, label));
            if (ours == rates.end()) {
                std::printf(" %10s", "-");
            } else {
                std::printf(" %9.3fx", ours->second / base->second);
            }
        }
        std::printf("\n");
    }

    std::printf("\nMulti-lane MD5, all lanes together, against OpenSSL's single stream (size per "
                "lane; lanes: portable %d, avx2 %d, avx512 %d)\n",
                md5LaneWidth(Md5LanePath::Portable), md5LaneWidth(Md5LanePath::Avx2),
                md5LaneWidth(Md5LanePath::Avx512));
    std::printf("%-8s %14s %10s %10s %10s\n", "size", "openssl MB/s", "portable", "avx2", "avx512");
    for (const auto& [label, size] : sizes) {
        const auto& rates = reporter.bytesPerSecond;
        const auto base = rates.find(caseName(Engine::OpenSsl, label));
        if (base == rates.end()) {
            continue;
        }
        std::printf("%-8s %14.1f", label, base->second / 1e6);
        for (Md5LanePath path : LANE_PATHS) {
            const auto ours = rates.find(laneCaseName(path, label));
            if (ours == rates.end()) {
                std::printf(" %10s", "-");
            } else {
                std::printf(" %9.3fx", ours->second / base->second);
            }
        }
        std::printf("\n");
    }
    return 0;
}
