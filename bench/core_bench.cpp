// The log core's costs, each beside the plain way of doing the same work.
//
//   core_bench                     Google Benchmark's own output
//   core_bench --figures=FILE      the medians, appended to FILE for the table
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_log.h"
#include "bench/support.h"
#include "core/adif_export.h"
#include "core/adif_record.h"
#include "core/clock.h"
#include "core/log_location.h"
#include "core/record_count.h"
#include "core/temp_log.h"

extern char** environ;

namespace {

using namespace vadozoz;
using namespace vadozoz::bench;
namespace fs = std::filesystem;

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr int kRepetitions = 5;

// Logs are costly to make (100 MB of records), so each is made once.
const std::string& LogOfSize(std::size_t bytes) {
    static std::map<std::size_t, std::string> logs;
    auto [it, made] = logs.try_emplace(bytes);
    if (made) it->second = MakeBenchLogOfSize(bytes);
    return it->second;
}

const std::string& LogOfRecords(std::size_t records) {
    static std::map<std::size_t, std::string> logs;
    auto [it, made] = logs.try_emplace(records);
    if (made) it->second = MakeBenchLog(records);
    return it->second;
}

template <std::size_t (*Count)(std::string_view)>
void BM_Count(benchmark::State& state, std::size_t bytes) {
    const std::string& log = LogOfSize(bytes);
    for (auto _ : state) benchmark::DoNotOptimize(Count(log));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.size()));
}

const QsoEntry kEntry{"QX1ABC", "5", "Marzo", "2015", "9:05", "20m", "SSB", "59"};

void BM_BuildAdifRecord(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BuildAdifRecord(kEntry));
}

// The same line put together with no check at all.
void BM_PlainRecord(benchmark::State& state) {
    const QsoEntry& e = kEntry;
    for (auto _ : state) {
        char line[256];
        const int n = std::snprintf(line, sizeof line,
                                    "<CALL:%zu>%s<QSO_DATE:8:D>%s03%02d<TIME_ON:4>%02d%s<BAND:%zu>%s"
                                    "<MODE:%zu>%s<RST_SENT:%zu>%s<EOR>\r\n",
                                    e.callSign.size(), e.callSign.c_str(), e.year.c_str(),
                                    std::atoi(e.day.c_str()), std::atoi(e.time.c_str()),
                                    e.time.c_str() + e.time.find(':') + 1, e.band.size(), e.band.c_str(),
                                    e.mode.size(), e.mode.c_str(), e.rstSent.size(), e.rstSent.c_str());
        benchmark::DoNotOptimize(std::string(line, static_cast<std::size_t>(n)));
    }
}

// The one scratch folder all file benchmarks work in.
const LogLocation& Scratch() {
    static ScratchFolder folder;
    static const LogLocation location = LogLocation::At(folder.path());
    return location;
}

void Check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

void PlainWriteAndSync(const fs::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    Check(fd >= 0, "open");
    Check(::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()), "write");
    Check(::fsync(fd) == 0, "fsync");
    Check(::close(fd) == 0, "close");
}

std::string PlainRead(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    Check(fd >= 0, "open");
    struct stat st {};
    Check(::fstat(fd, &st) == 0, "fstat");
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    Check(::read(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()), "read");
    ::close(fd);
    return bytes;
}

// Runs a program and waits for it, as a shell would.
void Run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot run " + args[0]);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(args[0] + " failed");
}

void BM_Save(benchmark::State& state, std::size_t records) {
    const std::string& log = LogOfRecords(records);
    // Every save writes: a log the disk already holds is only read back, so
    // the text alternates between two of the same length.
    std::string other = log;
    other.back() = other.back() == '\n' ? ' ' : '\n';
    bool flip = false;
    for (auto _ : state) {
        const std::string& text = (flip = !flip) ? other : log;
        if (SaveTempLog(Scratch(), text).status != SaveStatus::Written) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.size() + 2));
}

// The same bytes (the text and its CR LF), written and synced in one go.
void BM_PlainSave(benchmark::State& state, std::size_t records) {
    const std::string bytes = LogOfRecords(records) + "\r\n";
    const fs::path file = Scratch().folder / "plain.ziz";
    for (auto _ : state) PlainWriteAndSync(file, bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void BM_Load(benchmark::State& state, std::size_t records) {
    const std::string& log = LogOfRecords(records);
    SaveTempLog(Scratch(), log);
    for (auto _ : state) {
        const LoadOutcome loaded = LoadTempLog(Scratch());
        if (loaded.text.size() != log.size()) state.SkipWithError("load gave another text");
        benchmark::DoNotOptimize(loaded);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.size() + 2));
}

void BM_PlainLoad(benchmark::State& state, std::size_t records) {
    const std::string& log = LogOfRecords(records);
    SaveTempLog(Scratch(), log);
    for (auto _ : state) benchmark::DoNotOptimize(PlainRead(Scratch().TempLog()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.size() + 2));
}

const ClockReading kDay{2014, 12, 5, 22, 30};

void BM_Export(benchmark::State& state, std::size_t records) {
    const std::string& log = LogOfRecords(records);
    const MonthAbbreviations months = LocaleMonthAbbreviations();
    for (auto _ : state) {
        // As in the program: the last "Salva" has saved the log already.
        state.PauseTiming();
        SaveTempLog(Scratch(), log);
        state.ResumeTiming();
        const ExportOutcome outcome = ExportAdif(Scratch(), log, kDay, months);
        state.PauseTiming();
        if (outcome.status != ExportStatus::Exported) state.SkipWithError("export failed");
        fs::remove(outcome.file);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.size() + 2));
}

// cp of the same file, with `sync` of the copy after it when `synced`.
void BM_Cp(benchmark::State& state, std::size_t records, bool synced) {
    const std::string& log = LogOfRecords(records);
    SaveTempLog(Scratch(), log);
    const fs::path copy = Scratch().folder / "copy.adi";
    for (auto _ : state) {
        Run({"cp", Scratch().TempLog().string(), copy.string()});
        if (synced) Run({"sync", copy.string()});
        state.PauseTiming();
        fs::remove(copy);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.size() + 2));
}

// Which figure a benchmark gives, and on which side.
struct Slot {
    std::string operation;
    std::size_t records;
    std::size_t bytes;
    enum Side { Ours, Reference, Note } side;
};

std::map<std::string, Slot>& Slots() {
    static std::map<std::string, Slot> slots;
    return slots;
}

template <class Fn, class... Args>
benchmark::internal::Benchmark* Register(const std::string& name, Slot slot, Fn fn, Args... args) {
    Slots().emplace(name, std::move(slot));
    return benchmark::RegisterBenchmark(name.c_str(), fn, args...)
        ->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(true)
        ->UseRealTime()
        ->MinTime(0.2);
}

void RegisterAll() {
    for (const std::size_t bytes : {kMiB, 100 * kMiB}) {
        const std::string& log = LogOfSize(bytes);
        const std::string size = std::to_string(bytes / kMiB) + "MB";
        const Slot slot{"count", CountRecords(log), log.size(), Slot::Ours};
        Register("CountRecords/" + size, slot, BM_Count<CountRecords>, bytes)->Unit(benchmark::kMillisecond);
        Register("PlainCount/" + size, {slot.operation, slot.records, slot.bytes, Slot::Reference},
                 BM_Count<PlainCount>, bytes)
            ->Unit(benchmark::kMillisecond);
    }
    Register("BuildAdifRecord", {"build_record", 1, 0, Slot::Ours}, BM_BuildAdifRecord);
    Register("PlainRecord", {"build_record", 1, 0, Slot::Reference}, BM_PlainRecord);

    for (const std::size_t records : {std::size_t{10000}, std::size_t{100000}}) {
        const std::size_t bytes = LogOfRecords(records).size() + 2;
        // Built in two steps: GCC 12 gives a false -Wrestrict on "/" + std::string.
        std::string n = "/";
        n += std::to_string(records);
        Register("SaveTempLog" + n, {"save", records, bytes, Slot::Ours}, BM_Save, records)
            ->Unit(benchmark::kMillisecond);
        Register("PlainWriteAndSync" + n, {"save", records, bytes, Slot::Reference}, BM_PlainSave, records)
            ->Unit(benchmark::kMillisecond);
        Register("LoadTempLog" + n, {"load", records, bytes, Slot::Ours}, BM_Load, records)
            ->Unit(benchmark::kMillisecond);
        Register("PlainRead" + n, {"load", records, bytes, Slot::Reference}, BM_PlainLoad, records)
            ->Unit(benchmark::kMillisecond);
    }

    const std::size_t records = 100000;
    const std::size_t bytes = LogOfRecords(records).size() + 2;
    Register("ExportAdif/100000", {"export", records, bytes, Slot::Ours}, BM_Export, records)
        ->Unit(benchmark::kMillisecond);
    Register("cp/100000", {"export", records, bytes, Slot::Reference}, BM_Cp, records, false)
        ->Unit(benchmark::kMillisecond);
    Register("cp+sync/100000", {"export", records, bytes, Slot::Note}, BM_Cp, records, true)
        ->Unit(benchmark::kMillisecond);
}

// Keeps each benchmark's median and says on stderr how far the run is.
class FigureReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
            const std::string& name = run.run_name.function_name;
            if (run.error_occurred) {
                errors_.push_back(name + ": " + run.error_message);
                continue;
            }
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            medians_[name] = seconds;
            std::cerr << "  " << name << ": " << seconds * 1e3 << " ms\n";
        }
    }

    Figures Collect() const {
        if (!errors_.empty()) throw std::runtime_error(errors_.front());
        Figures out;
        std::map<std::pair<std::string, std::size_t>, std::size_t> row;  // (operation, records) -> index
        for (const auto& [name, slot] : Slots()) {
            const auto median = medians_.find(name);
            if (median == medians_.end()) continue;  // filtered out
            if (slot.side == Slot::Note) {
                // cp does not flush the copy to disk; the export must (twice).
                const auto exported = medians_.find("ExportAdif/" + std::to_string(slot.records));
                char text[200];
                std::snprintf(text, sizeof text,
                              "export, %zu records: cp + sync of the copy takes %.2f ms; ours is %.2f× that",
                              slot.records, median->second * 1e3,
                              exported == medians_.end() ? 0.0 : exported->second / median->second);
                out.notes.push_back(text);
                continue;
            }
            const auto [it, added] = row.try_emplace({slot.operation, slot.records}, out.figures.size());
            if (added) out.figures.push_back({slot.operation, slot.records, slot.bytes, 0, {}});
            Figure& f = out.figures[it->second];
            if (slot.side == Slot::Ours) {
                f.oursSeconds = median->second;
            } else {
                f.referenceSeconds = median->second;
            }
        }
        return out;
    }

private:
    std::map<std::string, double> medians_;
    std::vector<std::string> errors_;
};

}  // namespace

int main(int argc, char** argv) {
    std::string figuresFile;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--figures=")) {
            figuresFile = arg.substr(10);
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    try {
        RegisterAll();
        benchmark::Initialize(&count, args.data());
        if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
        if (figuresFile.empty()) {
            benchmark::RunSpecifiedBenchmarks();
        } else {
            std::cerr << "core benchmarks (" << kRepetitions << " repetitions each, medians):\n";
            FigureReporter reporter;
            benchmark::RunSpecifiedBenchmarks(&reporter);
            AppendFigures(figuresFile, reporter.Collect());
        }
        benchmark::Shutdown();
    } catch (const std::exception& e) {
        std::cerr << "core_bench: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
