// The window's costs, as the user meets them: start-up with a log, one
// "Salva", one keystroke in the log box. Each beside the literal way of
// keeping the log box: the whole text set again and recounted on every change.
//
//   window_bench [--figures=FILE]
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_log.h"
#include "bench/support.h"
#include "core/adif_record.h"
#include "core/clock.h"
#include "core/month_names.h"
#include "core/record_count.h"
#include "core/temp_log.h"
#include "ui/control_table.h"
#include "ui/form1.h"
#include "ui/log_box.h"

namespace {

using namespace vadozoz;
using namespace vadozoz::bench;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr std::size_t kSizes[] = {0, 1000, 10000, 100000};
constexpr int kStartups = 7;
constexpr int kActions = 15;  // clicks, keystrokes
// A reference figure is only taken where one run should end within this...
constexpr double kReferenceRunBudget = 8.0;
// ...and no figure takes much longer than this for all its runs.
constexpr double kReferenceFigureBudget = 20.0;
// A reference start-up that passes this is given up, whatever was predicted.
constexpr double kReferenceDeadline = 60.0;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// Lets the window do what a change left pending (layout, painting), as the
// event loop would before the user sees the result.
void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void Expect(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what);
}

QString Caption(std::size_t count) { return QString::fromStdString(CountCaption(count)); }

template <class T>
T* Get(QWidget* window, const char* name) {
    T* control = window->findChild<T*>(QString::fromLatin1(name));
    Expect(control != nullptr, std::string("no control ") + name);
    return control;
}

QRect Rect(const char* name) {
    for (const ui::ControlSpec& c : ui::kControls) {
        if (c.name == name) {
            return {c.left / ui::kTwipsPerPixel, c.top / ui::kTwipsPerPixel, c.width / ui::kTwipsPerPixel,
                    c.height / ui::kTwipsPerPixel};
        }
    }
    throw std::runtime_error(std::string("no control ") + name);
}

QsoEntry EntryNow() {
    const ClockReading now = UtcNow();
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", now.hour, now.minute);
    return {"IK2ABC", std::to_string(now.day), std::string(NameOfMonth(now.month)), std::to_string(now.year),
            time, "10m", "SSB", "59"};
}

// The literal way: the box itself is the log. Every change sets the whole
// text into it again and counts the whole text; "Salva" also saves. The box
// sits where Text4 sits, in a window of its own or in place of Form1's.
class LiteralBox : public QObject {
public:
    LiteralBox(QWidget* window, QGroupBox* frame, LogLocation location)
        : QObject(window), location_(std::move(location)), frame_(frame), box_(new QPlainTextEdit(window)) {
        box_->setGeometry(Rect("Text4"));
        box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        box_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        connect(box_, &QPlainTextEdit::textChanged, this, &LiteralBox::Typed);
    }

    QPlainTextEdit* box() const { return box_; }
    QString caption() const { return frame_->title(); }
    const std::string& text() const { return text_; }

    // One append per line of the file, each a full re-set and recount.
    // False when the deadline passed first.
    bool LoadLiterally(Clock::time_point deadline) {
        const std::string all = Read();
        for (std::size_t at = 0; at < all.size();) {
            const std::size_t end = std::min(all.size(), all.find("\r\n", at) + 2);
            text_.append(all, at, end - at);
            at = end;
            Reset();
            if (Clock::now() > deadline) return false;
        }
        return true;
    }

    // The log as a whole, untimed: where a figure needs a box that holds it.
    void LoadAtOnce() {
        text_ = Read();
        Reset();
    }

    void Salva() {
        text_ += BuildAdifRecord(EntryNow()).line;
        Reset();
        Expect(SaveTempLog(location_, text_).status == SaveStatus::Written, "reference save failed");
    }

private:
    std::string Read() {
        LoadOutcome loaded = LoadTempLog(location_);
        Expect(loaded.status != LoadStatus::Failed, "reference load failed");
        return std::move(loaded.text);
    }

    void Reset() {
        const QSignalBlocker quiet(box_);
        box_->setPlainText(ui::BoxTextOf(text_));
        frame_->setTitle(Caption(PlainCount(text_)));
        QTextCursor end = box_->textCursor();
        end.movePosition(QTextCursor::End);
        box_->setTextCursor(end);
    }

    void Typed() {
        text_ = ui::LogTextOf(box_->toPlainText());
        Reset();
    }

    LogLocation location_;
    std::string text_;
    QGroupBox* frame_;
    QPlainTextEdit* box_;
};

// The reference's window for "Salva" and the keystrokes: the caption, the
// box and the button.
class ReferenceWindow : public QWidget {
public:
    explicit ReferenceWindow(LogLocation location) {
        resize(ui::kClientWidth / ui::kTwipsPerPixel, ui::kClientHeight / ui::kTwipsPerPixel);
        auto* frame = new QGroupBox(Caption(0), this);
        frame->setGeometry(Rect("Frame1"));
        literal_ = new LiteralBox(this, frame, std::move(location));
        button_ = new QPushButton(QStringLiteral("Salva"), this);
        button_->setGeometry(Rect("Command1"));
        connect(button_, &QPushButton::clicked, literal_, &LiteralBox::Salva);
    }

    LiteralBox& literal() const { return *literal_; }
    QPushButton* button() const { return button_; }

private:
    LiteralBox* literal_;
    QPushButton* button_;
};

// A log folder holding a log.ziz of `records` records.
struct LogHome {
    explicit LogHome(std::size_t records) : location(LogLocation::At(scratch.path() / "adif")) {
        fs::create_directory(location.folder);
        log = MakeBenchLog(records);
        std::ofstream(location.TempLog(), std::ios::binary) << log << (log.empty() ? "" : "\r\n");
        this->records = CountRecords(log);
    }
    ScratchFolder scratch;
    LogLocation location;
    std::string log;
    std::size_t records = 0;
};

std::unique_ptr<ui::Form1> Open(const LogLocation& location) {
    auto form = std::make_unique<ui::Form1>(location);
    Expect(form->Load(), "Load failed");
    form->show();
    Settle();
    return form;
}

void ExpectCounted(ui::Form1& form) {
    const std::size_t count = CountRecords(form.Log().GetText());
    Expect(Get<QGroupBox>(&form, "Frame1")->title() == Caption(count), "the caption is not the count");
}

// Puts the caret in the middle of the box, untimed, as the user would by a click.
void CaretToMiddle(QPlainTextEdit* box) {
    QTextCursor middle = box->textCursor();
    middle.setPosition(box->document()->characterCount() / 2);
    box->setTextCursor(middle);
    Settle();
}

struct Measured {
    std::vector<double> ours;
    std::vector<double> reference;
};

// How long one reference run at `records` should take, from the last size's
// figure: start-up grows with the square of the size (each line sets the
// whole text so far), the rest in proportion. Zero for the smallest sizes,
// which always run; none when the last size was not run either.
std::optional<double> Predict(const std::optional<double>& previous, std::size_t previousRecords,
                              std::size_t records, bool square) {
    if (previousRecords == 0) return 0.0;
    if (!previous) return std::nullopt;
    const double growth = static_cast<double>(records) / static_cast<double>(previousRecords);
    return *previous * (square ? growth * growth : growth);
}

int Runs(double predicted, int wanted) {
    if (predicted <= 0) return wanted;
    return std::max(3, std::min(wanted, static_cast<int>(kReferenceFigureBudget / predicted)));
}

class WindowBench {
public:
    Figures Run() {
        WarmUp();
        for (const std::size_t records : kSizes) RunSize(records);
        return figures_;
    }

private:
    // The first window of a process pays for fonts, styles and the image
    // plug-ins; a user's window pays it too, but it is no cost of the log.
    void WarmUp() {
        LogHome home(10);
        auto form = Open(home.location);
        ReferenceWindow reference(home.location);
        reference.show();
        reference.literal().LoadAtOnce();
        Settle();
    }

    void RunSize(std::size_t records) {
        std::cerr << "  " << records << " records:";
        LogHome home(records);
        Expect(home.records == records, "the test log has another size");

        // Start-up.
        std::vector<double> startups;
        std::unique_ptr<ui::Form1> form;
        for (int i = 0; i < kStartups; ++i) {
            form.reset();
            const auto t0 = Clock::now();
            form = std::make_unique<ui::Form1>(home.location);
            Expect(form->Load(), "Load failed");
            form->show();
            Settle();
            startups.push_back(Seconds(t0));
            Expect(form->Log().RecordCount() == records, "the log was not loaded");
            ExpectCounted(*form);
        }
        const auto startupRef = Reference("startup", records, previous_.startup, true, kStartups / 2 + 1,
                                          [&] { return ReferenceStartup(home.location); });
        Add("startup", records, startups, startupRef);

        // "Salva", with its silent save.
        Get<QLineEdit>(form.get(), "Text1")->setText(QStringLiteral("IK2ABC"));
        auto* salva = Get<QPushButton>(form.get(), "Command1");
        std::vector<double> clicks;
        for (int i = 0; i < kActions; ++i) {
            const std::size_t before = form->Log().RecordCount();
            const auto t0 = Clock::now();
            QTest::mouseClick(salva, Qt::LeftButton);
            Settle();
            clicks.push_back(Seconds(t0));
            Expect(form->Log().RecordCount() == before + 1, "Salva added no record");
            ExpectCounted(*form);
        }

        // Keystrokes at the end and in the middle.
        auto* box = Get<QPlainTextEdit>(form.get(), "Text4");
        box->setFocus();
        std::vector<double> atEnd, inMiddle;
        for (int i = 0; i < kActions; ++i) atEnd.push_back(TimedKeystroke(*form, box));
        for (int i = 0; i < kActions; ++i) {
            CaretToMiddle(box);
            inMiddle.push_back(TimedKeystroke(*form, box));
        }
        form.reset();

        // The same on the reference, which needs a box already holding the log.
        std::optional<double> salvaRef, endRef, middleRef;
        std::optional<ReferenceWindow> reference;
        const auto loaded = [&]() -> ReferenceWindow& {
            if (!reference) {
                reference.emplace(home.location);
                reference->show();
                reference->literal().LoadAtOnce();
                Settle();
            }
            return *reference;
        };
        salvaRef = Reference("salva", records, previous_.salva, false, kActions, [&] {
            ReferenceWindow& w = loaded();
            const auto t0 = Clock::now();
            QTest::mouseClick(w.button(), Qt::LeftButton);
            Settle();
            return std::optional(Seconds(t0));
        });
        endRef = Reference("keystroke_end", records, previous_.end, false, kActions, [&] {
            LiteralBox& w = loaded().literal();
            w.box()->setFocus();
            return std::optional(TimedKeystroke(w));
        });
        middleRef = Reference("keystroke_middle", records, previous_.middle, false, kActions, [&] {
            LiteralBox& w = loaded().literal();
            CaretToMiddle(w.box());
            return std::optional(TimedKeystroke(w));
        });
        Add("salva", records, clicks, salvaRef);
        Add("keystroke_end", records, atEnd, endRef);
        Add("keystroke_middle", records, inMiddle, middleRef);
        previous_ = {startupRef, salvaRef, endRef, middleRef, records};
        std::cerr << '\n';
    }

    double TimedKeystroke(ui::Form1& form, QPlainTextEdit* box) {
        const std::size_t before = form.Log().GetText().size();
        const auto t0 = Clock::now();
        QTest::keyClick(box, Qt::Key_A);
        Settle();
        const double seconds = Seconds(t0);
        Expect(form.Log().GetText().size() == before + 1, "the keystroke did not reach the log");
        ExpectCounted(form);
        return seconds;
    }

    static double TimedKeystroke(LiteralBox& w) {
        const std::size_t before = w.text().size();
        const auto t0 = Clock::now();
        QTest::keyClick(w.box(), Qt::Key_A);
        Settle();
        const double seconds = Seconds(t0);
        Expect(w.text().size() == before + 1, "the keystroke did not reach the reference");
        Expect(w.caption() == Caption(CountRecords(w.text())), "the reference miscounted");
        return seconds;
    }

    // Our window as it opens with an empty log (the same fixed cost as
    // ours), its log box replaced by the literal one, into which the log is
    // then read and put line by line.
    static std::optional<double> ReferenceStartup(const LogLocation& location) {
        ScratchFolder empty;
        const auto t0 = Clock::now();
        auto form = std::make_unique<ui::Form1>(LogLocation::At(empty.path() / "adif"));
        Expect(form->Load(), "Load failed");
        form->show();
        Get<QPlainTextEdit>(form.get(), "Text4")->hide();
        LiteralBox reference(form.get(), Get<QGroupBox>(form.get(), "Frame1"), location);
        reference.box()->show();
        const auto deadline =
            t0 + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kReferenceDeadline));
        const bool done = reference.LoadLiterally(deadline);
        Settle();
        const double seconds = Seconds(t0);
        if (!done) return std::nullopt;
        return seconds;
    }

    // The reference's median over `wanted` runs (fewer when slow), or none
    // when one run would not end in the budget.
    std::optional<double> Reference(const char* operation, std::size_t records,
                                    const std::optional<double>& previous, bool square, int wanted,
                                    const std::function<std::optional<double>()>& run) {
        const auto predicted = Predict(previous, previous_.records, records, square);
        const auto skipped = [&](const std::string& why) {
            figures_.notes.push_back(std::string(operation) + " reference at " + std::to_string(records) +
                                     " records not run: " + why);
            return std::nullopt;
        };
        if (!predicted) return skipped("the smaller log was already beyond the budget");
        if (*predicted > kReferenceRunBudget) {
            char why[120];
            std::snprintf(why, sizeof why, "one run would take about %.0f s (budget %.0f s)", *predicted,
                          kReferenceRunBudget);
            return skipped(why);
        }
        std::vector<double> samples;
        for (int i = 0, n = Runs(*predicted, wanted); i < n; ++i) {
            const auto seconds = run();
            if (!seconds) return skipped("one run passed the deadline");
            samples.push_back(*seconds);
            // Far beyond the prediction: the further runs would be as slow.
            if (i == 0 && *seconds > kReferenceRunBudget) {
                figures_.notes.push_back(std::string(operation) + " reference at " + std::to_string(records) +
                                         " records: one run only (over the budget)");
                n = 1;
            }
        }
        return Median(samples);
    }

    void Add(const char* operation, std::size_t records, const std::vector<double>& ours,
             const std::optional<double>& reference) {
        const double median = Median(ours);
        figures_.figures.push_back({operation, records, 0, median, reference});
        std::cerr << ' ' << operation << ' ' << median * 1e3 << " ms";
        if (reference) std::cerr << " (reference " << *reference * 1e3 << " ms)";
    }

    struct Previous {
        std::optional<double> startup, salva, end, middle;
        std::size_t records = 0;
    } previous_;
    Figures figures_;
};

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::string figuresFile;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--figures=")) figuresFile = arg.substr(10);
    }
    QApplication app(argc, argv);
    try {
        std::cerr << "window benchmarks (medians; " << kStartups << " start-ups, " << kActions
                  << " clicks and keystrokes of each kind):\n";
        const Figures figures = WindowBench().Run();
        if (!figuresFile.empty()) AppendFigures(figuresFile, figures);
    } catch (const std::exception& e) {
        std::cerr << "window_bench: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
