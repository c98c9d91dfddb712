#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "core/adif_record.h"
#include "core/record_count.h"

namespace {

using namespace vadozoz;

// A log of realistic record lines, about `bytes` long.
std::string MakeLog(std::size_t bytes) {
    std::mt19937 random(1);
    const char* bands[] = {"160m", "80m", "40m", "20m", "15m", "10m", "2m", "70cm"};
    const char* modes[] = {"SSB", "CW", "RTTY", "FM"};
    std::string log;
    while (log.size() < bytes) {
        QsoEntry e{"QX" + std::to_string(random() % 10) + "A" + std::string(1, char('A' + random() % 26)) + "B",
                   std::to_string(1 + random() % 28), "Marzo", "2024",
                   std::to_string(random() % 24) + ":" + std::to_string(10 + random() % 50),
                   bands[random() % 8], modes[random() % 4], "59"};
        log += BuildAdifRecord(e).line;
    }
    return log;
}

// What the count replaces: compare five characters at every position.
std::size_t PlainCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i + 5 <= text.size(); ++i) {
        const auto lower = [&](std::size_t k) { return static_cast<char>(text[i + k] | 0x20); };
        if (text[i] == '<' && lower(1) == 'e' && lower(2) == 'o' && lower(3) == 'r' && text[i + 4] == '>') ++count;
    }
    return count;
}

template <std::size_t (*Count)(std::string_view)>
void BM_Count(benchmark::State& state) {
    const std::string log = MakeLog(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(Count(log));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.size()));
}

BENCHMARK(BM_Count<CountRecords>)->Name("CountRecords")->Arg(1 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Count<PlainCount>)->Name("PlainCount")->Arg(1 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);

void BM_BuildAdifRecord(benchmark::State& state) {
    const QsoEntry e{"QX1ABC", "5", "Marzo", "2015", "9:05", "20m", "SSB", "59"};
    for (auto _ : state) benchmark::DoNotOptimize(BuildAdifRecord(e));
}
BENCHMARK(BM_BuildAdifRecord)->Name("BuildAdifRecord");

}  // namespace

BENCHMARK_MAIN();
