#include "bench_log.h"

#include <array>
#include <random>
#include <string_view>

#include "core/adif_record.h"
#include "core/month_names.h"

namespace vadozoz::bench {
namespace {

// mt19937's output is fixed by the standard (the distributions are not), so
// the log only uses its raw numbers.
class LogMaker {
public:
    explicit LogMaker(unsigned seed) : random_(seed) {}

    // One line of the log, record or not.
    void AppendLine(std::string& log, std::size_t& records) {
        const auto roll = Pick(1000);
        if (roll < 4) {
            log += "\r\n";
        } else if (roll < 8) {
            log += Note();
        } else {
            log += Record();
            ++records;
        }
    }

private:
    std::size_t Pick(std::size_t n) { return static_cast<std::size_t>(random_() % n); }
    template <class T, std::size_t N>
    const T& Pick(const std::array<T, N>& from) { return from[Pick(N)]; }

    std::string CallSign() {
        static constexpr std::array<std::string_view, 14> prefixes{
            "I", "IK", "IZ", "IW", "IU", "DL", "F", "G", "EA", "OE", "W", "K", "JA", "VK"};
        std::string call(Pick(prefixes));
        call += static_cast<char>('0' + Pick(10));
        const std::size_t letters = 1 + Pick(3);
        for (std::size_t i = 0; i < letters; ++i) call += static_cast<char>('A' + Pick(26));
        if (Pick(50) == 0) call += "/P";
        return call;
    }

    std::string Record() {
        static constexpr std::array<std::string_view, 10> bands{
            "160m", "80m", "40m", "30m", "20m", "17m", "15m", "10m", "2m", "70cm"};
        static constexpr std::array<std::string_view, 5> modes{"SSB", "CW", "RTTY", "FM", "FT8"};
        const std::string_view mode = Pick(modes);
        const std::string_view rst = mode == "CW" || mode == "RTTY" ? "599" : "59";
        const std::size_t minute = Pick(60);
        const QsoEntry entry{CallSign(),
                             std::to_string(1 + Pick(28)),
                             std::string(MonthNames[Pick(12)].name),
                             std::to_string(2014 + Pick(7)),
                             std::to_string(Pick(24)) + (minute < 10 ? ":0" : ":") + std::to_string(minute),
                             std::string(Pick(bands)),
                             std::string(mode),
                             std::string(rst)};
        return BuildAdifRecord(entry).line;
    }

    // What operators type between records: never a tag, and plain ASCII.
    std::string Note() {
        static constexpr std::array<std::string_view, 6> notes{
            "nota: QSB forte, rapporto da confermare",
            "cambio antenna, verticale",
            "pile-up, ascolto in split +2",
            "QSL via bureau",
            "pausa caffe'",
            "contest: seconda giornata"};
        return std::string(Pick(notes)) + "\r\n";
    }

    std::mt19937 random_;
};

}  // namespace

std::string MakeBenchLog(std::size_t records, unsigned seed) {
    LogMaker maker(seed);
    std::string log;
    log.reserve(records * 96);
    for (std::size_t made = 0; made < records;) maker.AppendLine(log, made);
    return log;
}

std::string MakeBenchLogOfSize(std::size_t bytes, unsigned seed) {
    LogMaker maker(seed);
    std::string log;
    log.reserve(bytes + 128);
    for (std::size_t made = 0; log.size() < bytes;) maker.AppendLine(log, made);
    return log;
}

std::size_t PlainCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i + 5 <= text.size(); ++i) {
        const auto lower = [&](std::size_t k) { return static_cast<char>(text[i + k] | 0x20); };
        if (text[i] == '<' && lower(1) == 'e' && lower(2) == 'o' && lower(3) == 'r' && text[i + 4] == '>') ++count;
    }
    return count;
}

}  // namespace vadozoz::bench
