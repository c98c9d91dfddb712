#include "form1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "control_table.h"
#include "core/adif_export.h"
#include "core/adif_record.h"
#include "core/month_names.h"
#include "core/record_count.h"
#include "core/temp_log.h"
#include "log_box.h"
#include "message_box.h"

namespace vadozoz::ui {
namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QRect Pixels(const ControlSpec& c) {
    return {c.left / kTwipsPerPixel, c.top / kTwipsPerPixel, c.width / kTwipsPerPixel,
            c.height / kTwipsPerPixel};
}

QWidget* Create(const ControlSpec& row, QWidget* parent) {
    switch (row.kind) {
        case ControlKind::Picture: {
            auto* picture = new QLabel(parent);
            picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            picture->setLineWidth(2);
            picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            picture->setPixmap(QPixmap(QStringLiteral(":/images/picture1.jpg")));
            picture->setFocusPolicy(Qt::TabFocus);  // a tab stop that shows no focus mark
            return picture;
        }
        case ControlKind::Frame:
            return new QGroupBox(Q(row.text), parent);
        case ControlKind::Label: {
            auto* label = new QLabel(Q(row.text), parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlKind::TextBox:
            return new QLineEdit(Q(row.text), parent);
        case ControlKind::LogBox: {
            auto* box = new QPlainTextEdit(parent);
            box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            box->setTabChangesFocus(true);
            return box;
        }
        case ControlKind::ComboBox: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(true);
            // Qt would otherwise add typed texts to the list and complete "s" to "SSB".
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
            combo->setEditText(Q(row.text));
            return combo;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(Q(row.text), parent);
            button->setAutoDefault(true);  // Enter clicks the button that has the focus
            return button;
        }
    }
    return nullptr;
}

// Sets a combo box's text, pointing the list at the item when it holds it.
// The field shows the text from its start: month names barely fit.
void SetComboText(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) combo->setCurrentIndex(index);
    combo->setEditText(text);
    combo->lineEdit()->setCursorPosition(0);
}

}  // namespace

Form1::Form1(LogLocation location, FormClock clock)
    : location_(std::move(location)), clock_(std::move(clock)) {
    setWindowTitle(QStringLiteral("Vadozoz v1.0 by Vuradar"));
    setWindowIcon(QIcon(QStringLiteral(":/images/vadozoz.ico")));
    resize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);
    BuildControls();
}

Form1::~Form1() = default;

template <class T>
T* Form1::Control(const char* name) const {
    return findChild<T*>(QString::fromLatin1(name));
}

void Form1::BuildControls() {
    // Created in tab order, so that Qt's focus chain starts at Text1 as well.
    std::array<const ControlSpec*, kControls.size()> rowsByTab{};
    for (const ControlSpec& row : kControls) rowsByTab[static_cast<std::size_t>(row.tabPosition)] = &row;
    QWidget* previous = nullptr;
    for (const ControlSpec* row : rowsByTab) {
        QWidget* parent = row->inFrame ? static_cast<QWidget*>(frame1_) : this;
        QWidget* widget = Create(*row, parent);
        widget->setObjectName(Q(row->name));
        QRect rect = Pixels(*row);
        // The default font is wider than the one the layout was drawn for; a
        // label may grow to the right (no control lies there) so that its
        // caption is never cut.
        if (row->kind == ControlKind::Label) rect.setWidth(std::max(rect.width(), widget->sizeHint().width()));
        widget->setGeometry(rect);
        if (row->kind == ControlKind::Frame) frame1_ = static_cast<QGroupBox*>(widget);
        if (widget->focusPolicy() == Qt::NoFocus) continue;
        if (previous) setTabOrder(previous, widget);
        previous = widget;
    }

    text1_ = Control<QLineEdit>("Text1");
    text4_ = Control<QPlainTextEdit>("Text4");
    connect(text1_, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    connect(Control<QPushButton>("Command1"), &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Control<QPushButton>("Command2"), &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Control<QPushButton>("Command4"), &QPushButton::clicked, this, &Form1::Command4_Click);
    logBox_ = new LogBox(text4_, log_, [this] { Text4_Change(); });
}

bool Form1::Load() {
    if (const auto message = EnsureLogFolder(location_)) ShowMessage(this, *message);
    FillEntryLists();
    PresetDateAndTime();

    auto loaded = LoadTempLog(location_);
    if (loaded.status == LoadStatus::Failed) {
        // Going on would let the next save replace records nobody has seen.
        ShowMessage(this, loaded.message);
        return false;
    }
    if (loaded.status == LoadStatus::Loaded) {
        log_.SetText(std::move(loaded.text));
        frame1_->setTitle(Q(CountCaption(log_.RecordCount())));
    }
    return true;
}

void Form1::FillEntryLists() {
    for (const ListSpec& list : EntryLists()) {
        auto* combo = Control<QComboBox>(list.combo.data());
        const QString text = combo->currentText();
        for (std::string_view item : list.items) combo->addItem(Q(item));
        SetComboText(combo, text);  // adding items must not replace the text
    }
}

void Form1::PresetDateAndTime() {
    // One reading, in UTC: the box is labelled UTC and ADIF's date and time are UTC.
    const ClockReading now = clock_.utc();
    const MonthAbbreviations months = LocaleMonthAbbreviations();
    const auto format = [&](std::string_view pattern) { return Q(FormatDate(pattern, now, months)); };
    SetComboText(Control<QComboBox>("Combo1"), format("dd"));
    frame1_->setTitle(QStringLiteral("0 record presenti"));
    SetComboText(Control<QComboBox>("Combo2"), Q(NameOfMonth(now.month)));
    SetComboText(Control<QComboBox>("Combo3"), format("yyyy"));
    Control<QLineEdit>("Text2")->setText(format("hh") + u':' + format("nn"));
}

void Form1::Command1_Click() {
    const auto text = [this](const char* name) { return Control<QLineEdit>(name)->text().toStdString(); };
    const auto combo = [this](const char* name) { return Control<QComboBox>(name)->currentText().toStdString(); };
    const QsoEntry entry{text("Text1"), combo("Combo1"), combo("Combo2"), combo("Combo3"),
                         text("Text2"), combo("Combo4"), combo("Combo5"), text("Text3")};
    const RecordOutcome record = BuildAdifRecord(entry);
    if (!record.accepted()) {
        ShowMessage(this, {MessageKind::Validation, std::string(record.refusal)});
        return;
    }
    log_.Append(record.line);
    // Saved at once, so that a crash or a power cut loses no contact.
    if (const auto saved = SaveTempLog(location_, log_.GetText()); saved.status == SaveStatus::Failed) {
        ShowMessage(this, saved.message);
    }
}

bool Form1::SaveForLeaving() {
    const SaveOutcome saved = SaveTempLog(location_, log_.GetText());
    if (saved.status != SaveStatus::NothingToSave) ShowMessage(this, saved.message);
    return saved.status != SaveStatus::Failed;
}

void Form1::Command2_Click() {
    if (!SaveForLeaving()) return;
    leaving_ = true;
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing by the title bar, Alt+F4 or the session ending saves like "Esci".
    if (leaving_ || SaveForLeaving()) {
        leaving_ = true;
        event->accept();
    } else {
        event->ignore();
    }
}

void Form1::Command4_Click() {
    const ExportOutcome outcome =
        ExportAdif(location_, log_.GetText(), clock_.local(), LocaleMonthAbbreviations());
    ShowMessage(this, outcome.message);
    if (outcome.status == ExportStatus::Exported) log_.Clear();
}

void Form1::Text1_Change() {
    // Setting the upper-cased text raises this handler once more, nested; by
    // then the text is unchanged, so the recursion ends there.
    text1_->setText(text1_->text().toUpper());
    text1_->setCursorPosition(static_cast<int>(text1_->text().size()));
}

void Form1::Text4_Change() {
    frame1_->setTitle(Q(CountCaption(log_.RecordCount())));
    QTextCursor end = text4_->textCursor();
    end.movePosition(QTextCursor::End);
    text4_->setTextCursor(end);
}

}  // namespace vadozoz::ui
