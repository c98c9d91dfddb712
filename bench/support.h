#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What the benchmark programs share: their scratch folder and the figures
// file through which they hand their results to the table.
namespace vadozoz::bench {

// A new empty folder in the system's temporary folder, removed with its
// content at the end. On the same disk as a user's log would be, so that
// fsync costs what it costs there (not a tmpfs in memory).
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// One line of the table: the median time of one operation on a log of
// `records` records (`bytes` long), ours and the plain reference's.
struct Figure {
    std::string operation;
    std::size_t records = 0;
    std::size_t bytes = 0;  // 0: not a throughput figure
    double oursSeconds = 0;
    std::optional<double> referenceSeconds;  // none: not run (too slow)
};

// A figures file holds figures and free notes, one a line, tab-separated.
struct Figures {
    std::vector<Figure> figures;
    std::vector<std::string> notes;
};

void AppendFigures(const std::filesystem::path& file, const Figures& figures);
Figures ReadFigures(const std::filesystem::path& file);

// The median of the samples (the mean of the middle two for an even count).
double Median(std::vector<double> samples);

}  // namespace vadozoz::bench
