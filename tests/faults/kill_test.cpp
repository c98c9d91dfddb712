// Kills fault_driver with SIGKILL at random moments, hundreds of times, and
// after each kill looks at the log folder as the next start finds it:
// log.ziz is one whole version, every export is whole, and every record the
// driver had confirmed saved is in log.ziz or in an export. A record is in
// more than one file only when an export was cut between its copy and its
// delete: once more for each such cut.
//
//   kill_test DRIVER [KILLS] [SECONDS] [BIG_KILLS]

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fault_records.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

[[noreturn]] void Fail(const std::string& why) {
    std::printf("FAILED: %s\n", why.c_str());
    std::fflush(stdout);
    std::exit(1);
}

struct Event {
    char kind = '?';  // A(ppend) S(aved) E(xport begins) X(export done) B(ig log added)
    long id = -1;     // A, S; B: the first
    long last = -1;   // B
    std::string file; // X
};

// The journal without a line cut by the kill (the driver appends after it).
std::vector<Event> ReadJournal(const fs::path& path) {
    std::string text = Read(path);
    if (const auto end = text.rfind('\n'); end + 1 != text.size()) {
        text.resize(end == std::string::npos ? 0 : end + 1);
        fs::resize_file(path, text.size());
    }
    std::vector<Event> events;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        Event e;
        e.kind = line.empty() ? '?' : line[0];
        if (e.kind == 'A' || e.kind == 'S') e.id = std::stol(line.substr(2));
        if (e.kind == 'X') e.file = line.substr(2);
        if (e.kind == 'B') std::sscanf(line.c_str(), "B %ld %ld", &e.id, &e.last);
        events.push_back(e);
    }
    return events;
}

// A log file's records: whole record lines, then the one CR LF a save adds.
std::vector<long> Records(const fs::path& path, const std::string& bytes) {
    std::vector<long> ids;
    for (std::size_t at = 0;;) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) Fail(path.string() + ": cut at byte " + std::to_string(at));
        if (end == at) {
            if (end + 2 != bytes.size() || ids.empty()) Fail(path.string() + ": a blank line inside, or no record");
            return ids;
        }
        const auto id = vadozoz::faults::RecordId(std::string_view(bytes).substr(at, end + 2 - at));
        if (!id) Fail(path.string() + ": not a whole record at byte " + std::to_string(at));
        if (!ids.empty() && *id <= ids.back()) Fail(path.string() + ": records out of order");
        ids.push_back(*id);
        at = end + 2;
    }
}

struct Figures {
    int kills = 0;
    int startKills = 0;  // before the driver had even loaded the log
    int bigKills = 0;    // while a big log was exported
    int atExportName = 0;  // the moment an export's name appeared
    int beforeCopy = 0, betweenCopyAndDelete = 0, afterDelete = 0;  // kills inside an export
    std::size_t recordsMade = 0, recordsSaved = 0, exports = 0;
    std::size_t temporariesSeen = 0;
};

struct Checker {
    fs::path folder;
    std::set<std::string> orphans;  // exports whose finish a kill cut off
    std::vector<int> copies;  // by record: extra copies made by exports cut between copy and delete
    Figures figures;
    // Files read before, by content: exports do not change, and a big
    // log.ziz and its copies are the same bytes round after round.
    std::map<std::size_t, std::vector<std::pair<std::string, std::vector<long>>>> parsed;

    const std::vector<long>& Parse(const fs::path& path, const std::string& bytes) {
        auto& sameSize = parsed[bytes.size()];
        for (const auto& [known, ids] : sameSize) {
            if (known == bytes) return ids;
        }
        return sameSize.emplace_back(bytes, Records(path, bytes)).second;
    }

    // Returns the next record number for the driver.
    long Check(const std::vector<Event>& events, bool afterKill) {
        // Record numbers are handed out in order, so flags by number do.
        long next = 1;
        for (const Event& e : events) next = std::max(next, std::max(e.id, e.last) + 1);
        std::vector<char> made(static_cast<std::size_t>(next)), saved(made.size());
        std::set<std::string> finished;
        for (const Event& e : events) {
            if (e.kind == 'A') made[e.id] = 1;
            if (e.kind == 'S') saved[e.id] = 1;
            if (e.kind == 'X') finished.insert(e.file);
            for (long id = e.id; e.kind == 'B' && id <= e.last; ++id) made[id] = saved[id] = 1;
        }
        const bool inExport = afterKill && !events.empty() && events.back().kind == 'E';
        copies.resize(made.size());

        static const std::regex kExport(R"(log_\d\d[A-Za-z]{3}\d{4}(_\d+)?\.adi)");
        std::map<std::string, std::vector<long>> files;  // log.ziz and the exports
        std::string tempLog;
        bool haveTempLog = false;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(".log.ziz.")) {
                if (!afterKill) Fail("a start left the temporary file " + name);
                ++figures.temporariesSeen;
                continue;
            }
            if (!entry.is_regular_file()) Fail(name + " is not a file");
            if (name != "log.ziz" && !std::regex_match(name, kExport)) Fail("unexpected file " + name);
            const std::string bytes = Read(entry.path());
            if (name == "log.ziz") tempLog = bytes, haveTempLog = true;
            files[name] = Parse(entry.path(), bytes);
        }

        for (const auto& file : finished) {
            if (!files.count(file)) Fail("the finished export " + file + " is gone");
        }
        int newOrphans = 0;
        for (const auto& [name, ids] : files) {
            if (name == "log.ziz" || finished.count(name) || orphans.count(name)) continue;
            if (!inExport || ++newOrphans > 1) Fail("export " + name + " that no export made");
            orphans.insert(name);
            if (haveTempLog) {
                // Cut between the copy and the delete: both hold the same records.
                if (Read(folder / name) != tempLog) Fail(name + " differs from the log.ziz it was copied from");
                for (const long id : ids) ++copies[id];
                ++figures.betweenCopyAndDelete;
            } else {
                ++figures.afterDelete;
            }
        }
        if (inExport && newOrphans == 0) ++figures.beforeCopy;

        std::vector<int> seen(made.size());
        for (const auto& [name, ids] : files) {
            for (const long id : ids) {
                if (id >= next || !made[id]) Fail("record " + std::to_string(id) + " in " + name + " was never made");
                if (++seen[id] > 1 + copies[id]) {
                    std::string where, last;
                    for (const auto& [other, otherIds] : files) {
                        if (std::find(otherIds.begin(), otherIds.end(), id) != otherIds.end()) where += " " + other;
                    }
                    for (std::size_t i = events.size() > 8 ? events.size() - 8 : 0; i < events.size(); ++i) {
                        last += std::string(" ") + events[i].kind + (events[i].kind == 'X' ? events[i].file : std::to_string(events[i].id));
                    }
                    Fail("record " + std::to_string(id) + " is in" + where + "; the journal ends" + last);
                }
            }
        }
        figures.recordsMade = figures.recordsSaved = 0;
        for (long id = 0; id < next; ++id) {
            if (saved[id] && !seen[id]) Fail("record " + std::to_string(id) + " was saved and is lost");
            figures.recordsMade += made[id];
            figures.recordsSaved += saved[id];
        }
        figures.exports = files.size() - (haveTempLog ? 1 : 0);
        return next;
    }
};

std::string DriverErrors(const fs::path& root) { return Read(root / "driver.err"); }

// Starts the driver; its standard output is the returned pipe.
pid_t Start(const std::string& driver, const fs::path& root, long first, unsigned seed, const char* records,
            int& output, bool exportFirst = false) {
    int fds[2];
    if (::pipe(fds) != 0) Fail("pipe");
    const pid_t child = ::fork();
    if (child < 0) Fail("fork");
    if (child == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        const int err = ::open((root / "driver.err").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(err, STDERR_FILENO);
        const std::string folder = (root / "adif").string(), journal = (root / "journal").string();
        const std::string firstText = std::to_string(first), seedText = std::to_string(seed);
        std::vector<const char*> argv{driver.c_str(), folder.c_str(), journal.c_str(), firstText.c_str(),
                                      seedText.c_str(), records, exportFirst ? "export-first" : nullptr,
                                      nullptr};
        ::execv(driver.c_str(), const_cast<char* const*>(argv.data()));
        ::_exit(127);
    }
    ::close(fds[1]);
    output = fds[0];
    return child;
}

constexpr std::size_t kBigLog = std::size_t{8} << 20;

// Grows log.ziz to some 8 MB with new records, as a save would write it, and
// notes them in the journal as saved. Returns the next record number.
long AddBigLog(const fs::path& root, long next) {
    const fs::path tempLog = root / "adif" / "log.ziz";
    fs::create_directories(tempLog.parent_path());
    std::string text = fs::exists(tempLog) ? Read(tempLog) : std::string();
    if (text.size() >= kBigLog) return next;  // a cut export left it as it was
    if (text.size() >= 2) text.resize(text.size() - 2);
    const long first = next;
    while (text.size() < kBigLog) text += vadozoz::faults::FastRecordLine(next++);
    text += "\r\n";
    std::ofstream(root / "big.tmp", std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    fs::rename(root / "big.tmp", tempLog);
    if (first < next) {
        std::ofstream(root / "journal", std::ios::app) << "B " << first << ' ' << next - 1 << '\n';
    }
    return next;
}

// Waits for a new "log_*.adi" name in the watched folder, and returns it.
std::string WaitForExportName(int watch, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    alignas(inotify_event) char buffer[4096];
    while (std::chrono::steady_clock::now() < until) {
        pollfd p{watch, POLLIN, 0};
        if (::poll(&p, 1, 100) != 1) continue;
        const ssize_t n = ::read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            const std::string name = event->len ? event->name : "";
            if (name.starts_with("log_") && name.ends_with(".adi")) return name;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) Fail("usage: kill_test DRIVER [KILLS] [SECONDS]");
    const std::string driver = argv[1];
    const int kills = argc > 2 ? std::atoi(argv[2]) : 300;
    const double budget = argc > 3 ? std::atof(argv[3]) : 45;
    const int bigKills = argc > 4 ? std::atoi(argv[4]) : 16;

    for (long id = 0; id < 3000; id += 7) {
        if (vadozoz::faults::FastRecordLine(id) != vadozoz::faults::RecordLine(id)) Fail("FastRecordLine is wrong");
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = (fs::path(tmp && *tmp ? tmp : "/tmp") / "vadozoz-kill-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) Fail("mkdtemp");
    const fs::path root = pattern;
    Checker checker;
    checker.folder = root / "adif";
    std::mt19937 random(20141205);
    const auto started = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(); };

    long next = 1;
    for (int round = 0; round < kills && elapsed() < budget; ++round) {
        int output = -1;
        const pid_t child = Start(driver, root, next, random(), nullptr, output);
        if (round % 8 == 7) {
            // Now and then while it starts: making the folder, clearing
            // leftovers, loading the log.
            ::usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
            ++checker.figures.startKills;
        } else {
            pollfd p{output, POLLIN, 0};
            char ready = 0;
            if (::poll(&p, 1, 10000) != 1 || ::read(output, &ready, 1) != 1) {
                Fail("the driver did not start: " + DriverErrors(root));
            }
            ::usleep(std::uniform_int_distribution<useconds_t>(0, 25000)(random));
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(output);
        if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) {
            Fail("the driver ended by itself (status " + std::to_string(status) + "): " + DriverErrors(root));
        }
        ++checker.figures.kills;
        next = checker.Check(ReadJournal(root / "journal"), true);
    }

    // Then kills while a big log is saved and exported: log.ziz grows to
    // some 8 MB (as if saved by an earlier run) and the driver exports it at
    // once. Every other round kills the moment an export's name shows in the
    // folder, and that file must already hold every byte (an export that
    // names an empty file first and fills it after is cut by a crash there);
    // the other rounds kill at a random moment of the time a whole export
    // takes, measured in the first.
    fs::create_directories(checker.folder);
    const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watch < 0 || ::inotify_add_watch(watch, checker.folder.c_str(), IN_CREATE | IN_MOVED_TO) < 0) {
        Fail("inotify");
    }
    double exportSeconds = 0;
    for (int round = 0; round < bigKills && elapsed() < budget + 15; ++round) {
        next = AddBigLog(root, next);
        const auto logSize = fs::file_size(checker.folder / "log.ziz");
        for (char drain[4096]; ::read(watch, drain, sizeof drain) > 0;) {
        }
        int output = -1;
        const pid_t child = Start(driver, root, next, random(), "-1", output, true);
        pollfd p{output, POLLIN, 0};
        char ready = 0;
        if (::poll(&p, 1, 30000) != 1 || ::read(output, &ready, 1) != 1) {
            Fail("the driver did not start: " + DriverErrors(root));
        }
        if (round == 0) {
            const auto from = std::chrono::steady_clock::now();
            const auto journalSize = fs::file_size(root / "journal");
            while (Read(root / "journal").find("\nX ", journalSize - 1) == std::string::npos) {
                if (std::chrono::steady_clock::now() - from > std::chrono::seconds(60)) Fail("the big export hangs");
                ::usleep(2000);
            }
            exportSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
        } else if (round % 2 == 1) {
            // A kill at this moment leaves what is there now: it must be whole.
            const std::string name = WaitForExportName(watch, std::chrono::seconds(30));
            if (name.empty()) Fail("no export appeared");
            std::error_code error;
            const auto size = fs::file_size(checker.folder / name, error);
            ::kill(child, SIGKILL);
            if (size != logSize) {
                Fail(name + " showed with " + std::to_string(size) + " of its " + std::to_string(logSize) +
                     " bytes: a crash then leaves it cut");
            }
            ++checker.figures.atExportName;
        } else {
            ::usleep(std::uniform_int_distribution<useconds_t>(0, static_cast<useconds_t>(exportSeconds * 1.2e6))(random));
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(output);
        if (!WIFSIGNALED(status)) Fail("the driver ended by itself: " + DriverErrors(root));
        ++checker.figures.kills;
        ++checker.figures.bigKills;
        next = checker.Check(ReadJournal(root / "journal"), true);
    }

    ::close(watch);

    // One more start, run to its end: it clears what the last kill left.
    int output = -1;
    const pid_t child = Start(driver, root, next, 0, "0", output);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(output);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail("the last start failed: " + DriverErrors(root));
    checker.Check(ReadJournal(root / "journal"), false);

    const Figures& f = checker.figures;
    std::printf("kills survived: %d in %.1f s (%d while starting, %d while exporting an 8 MB log, %d of them the "
                "moment the export's name appeared; inside an export: %d before the copy was whole, %d between the "
                "copy and the delete, %d after the delete)\n",
                f.kills, elapsed(), f.startKills, f.bigKills, f.atExportName, f.beforeCopy, f.betweenCopyAndDelete,
                f.afterDelete);
    std::printf("records made: %zu, confirmed saved and found: %zu, lost: 0; exports: %zu; "
                "temporary files found after kills: %zu\n",
                f.recordsMade, f.recordsSaved, f.exports, f.temporariesSeen);
    if (f.kills < 50) Fail("only " + std::to_string(f.kills) + " kills in the time allowed");
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return 0;
}
