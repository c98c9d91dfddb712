#include "support.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vadozoz::bench {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "vadozoz-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a folder in " + pattern);
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void AppendFigures(const fs::path& file, const Figures& figures) {
    std::ofstream out(file, std::ios::app);
    out.precision(9);
    for (const Figure& f : figures.figures) {
        out << "figure\t" << f.operation << '\t' << f.records << '\t' << f.bytes << '\t' << f.oursSeconds
            << '\t';
        if (f.referenceSeconds) {
            out << *f.referenceSeconds;
        } else {
            out << '-';
        }
        out << '\n';
    }
    for (const std::string& note : figures.notes) out << "note\t" << note << '\n';
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

Figures ReadFigures(const fs::path& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    Figures figures;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("note\t")) {
            figures.notes.push_back(line.substr(5));
            continue;
        }
        std::istringstream fields(line);
        std::string kind, reference;
        Figure f;
        fields >> kind >> f.operation >> f.records >> f.bytes >> f.oursSeconds >> reference;
        if (kind != "figure" || !fields) {
            throw std::runtime_error("bad line in " + file.string() + ": " + line);
        }
        if (reference != "-") f.referenceSeconds = std::stod(reference);
        figures.figures.push_back(std::move(f));
    }
    return figures;
}

double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t mid = samples.size() / 2;
    return samples.size() % 2 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
}

}  // namespace vadozoz::bench
