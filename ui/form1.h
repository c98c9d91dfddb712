#pragma once

#include <QWidget>
#include <functional>

#include "core/clock.h"
#include "core/log_buffer.h"
#include "core/log_location.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vadozoz::ui {

class LogBox;

// Where the window reads the time: UTC for the entry presets, the local date
// for the export's file name.
struct FormClock {
    std::function<ClockReading()> utc = UtcNow;
    std::function<ClockReading()> local = LocalNow;
};

// The program's one window. Its controls are built from the control table
// and carry their table names as object names.
class Form1 : public QWidget {
public:
    explicit Form1(LogLocation location, FormClock clock = {});
    ~Form1() override;

    // The start-up sequence, before the window is first shown. False when
    // the program must end (a temporary log that cannot be read).
    bool Load();

    const LogBuffer& Log() const { return log_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void FillEntryLists();
    void PresetDateAndTime();

    // The six handlers.
    void Command1_Click();
    void Command2_Click();
    void Command4_Click();
    void Text1_Change();
    void Text4_Change();

    // Saves on leaving and tells the user; false when the window must stay.
    bool SaveForLeaving();

    template <class T>
    T* Control(const char* name) const;

    LogLocation location_;
    FormClock clock_;
    LogBuffer log_;
    LogBox* logBox_ = nullptr;
    bool leaving_ = false;

    QGroupBox* frame1_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QPlainTextEdit* text4_ = nullptr;
};

}  // namespace vadozoz::ui
