// Prints the figures of the benchmark programs as one table (Markdown, so
// that it goes into the README as it is) and writes them as JSON.
//
//   bench_report RESULTS.json FIGURES...
#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "bench/support.h"

namespace {

using vadozoz::bench::Figure;
using vadozoz::bench::Figures;

constexpr std::array<std::string_view, 9> kOrder{"count",   "build_record", "save",
                                                 "load",    "export",       "startup",
                                                 "salva",   "keystroke_end", "keystroke_middle"};

std::size_t Rank(const std::string& operation) {
    return static_cast<std::size_t>(std::find(kOrder.begin(), kOrder.end(), operation) - kOrder.begin());
}

std::string Format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string Time(double seconds) {
    if (seconds < 1e-6) return Format("%.0f ns", seconds * 1e9);
    if (seconds < 1e-3) return Format("%.1f µs", seconds * 1e6);
    if (seconds < 1) return Format("%.2f ms", seconds * 1e3);
    return Format("%.2f s", seconds);
}

// A time, and for a figure over bytes its throughput too.
std::string Cell(double seconds, std::size_t bytes, const std::string& operation) {
    std::string cell = Time(seconds);
    if (bytes == 0 || seconds <= 0) return cell;
    const double perSecond = static_cast<double>(bytes) / seconds;
    return cell + (operation == "count" ? Format(" (%.2f GB/s)", perSecond / 1e9)
                                        : Format(" (%.0f MB/s)", perSecond / 1e6));
}

std::size_t Width(const std::string& s) {
    // Characters, not bytes: "µ" and "—" are two and three bytes in UTF-8.
    return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string Json(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: bench_report RESULTS.json FIGURES...\n";
        return 2;
    }
    Figures all;
    try {
        for (int i = 2; i < argc; ++i) {
            Figures some = vadozoz::bench::ReadFigures(argv[i]);
            all.figures.insert(all.figures.end(), some.figures.begin(), some.figures.end());
            all.notes.insert(all.notes.end(), some.notes.begin(), some.notes.end());
        }
    } catch (const std::exception& e) {
        std::cerr << "bench_report: " << e.what() << '\n';
        return 1;
    }
    std::stable_sort(all.figures.begin(), all.figures.end(), [](const Figure& a, const Figure& b) {
        return std::pair(Rank(a.operation), a.records) < std::pair(Rank(b.operation), b.records);
    });

    std::vector<std::array<std::string, 5>> rows{
        {"operation", "log size (records)", "ours", "reference", "ours / reference"}};
    for (const Figure& f : all.figures) {
        const bool hasReference = f.referenceSeconds.has_value();
        rows.push_back({f.operation, std::to_string(f.records), Cell(f.oursSeconds, f.bytes, f.operation),
                        hasReference ? Cell(*f.referenceSeconds, f.bytes, f.operation) : "—",
                        hasReference && *f.referenceSeconds > 0
                            ? Format("%.3g×", f.oursSeconds / *f.referenceSeconds)
                            : "—"});
    }
    std::array<std::size_t, 5> widths{};
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], Width(row[c]));
    }
    const auto print = [&](const std::array<std::string, 5>& row) {
        std::string line = "|";
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string pad(widths[c] - Width(row[c]), ' ');
            // Names to the left, figures to the right.
            line += ' ' + (c == 0 ? row[c] + pad : pad + row[c]) + " |";
        }
        std::cout << line << '\n';
    };
    std::cout << '\n';
    print(rows[0]);
    std::string rule = "|";
    for (std::size_t c = 0; c < widths.size(); ++c) {
        // Markdown: the figures' columns aligned to the right.
        rule += c == 0 ? ' ' + std::string(widths[c], '-') + " |"
                       : ' ' + std::string(widths[c] - 1, '-') + ": |";
    }
    std::cout << rule << '\n';
    for (std::size_t r = 1; r < rows.size(); ++r) print(rows[r]);
    std::cout << "\nMedians of repeated runs. \"—\": the reference was not run at that size "
                 "(see the notes).\n";
    for (const std::string& note : all.notes) std::cout << "Note: " << note << '\n';

    std::ofstream json(argv[1]);
    json.precision(9);
    json << "[\n";
    for (std::size_t i = 0; i < all.figures.size(); ++i) {
        const Figure& f = all.figures[i];
        json << "  {\"operation\": " << Json(f.operation) << ", \"records\": " << f.records
             << ", \"ours_s\": " << f.oursSeconds << ", \"reference_s\": ";
        if (f.referenceSeconds) {
            json << *f.referenceSeconds;
        } else {
            json << "null";
        }
        json << '}' << (i + 1 < all.figures.size() ? "," : "") << '\n';
    }
    json << "]\n";
    if (!json) {
        std::cerr << "bench_report: cannot write " << argv[1] << '\n';
        return 1;
    }
    std::cout << "Written to " << argv[1] << '\n';
    return 0;
}
