#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "core/record_count.h"
#include "fixed_clock.h"
#include "modal_watcher.h"
#include "temp_folder.h"
#include "ui/form1.h"
#include "ui/log_box.h"

using namespace vadozoz;
using namespace vadozoz::ui;
using vadozoz::ui::testing::kLocal;
using vadozoz::ui::testing::kUtc;
using vadozoz::ui::testing::ModalWatcher;
using vadozoz::testing::ReadBytes;
using vadozoz::testing::WriteBytes;
namespace fs = std::filesystem;

namespace {

const std::string kRecord(vadozoz::ui::testing::kTypedRecord);

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home_;
    LogLocation location_;
    std::unique_ptr<Form1> form_;

    fs::path folder() const { return location_.folder; }
    fs::path tempLog() const { return location_.TempLog(); }

    // A window as the program opens it: loaded, shown, active.
    Form1& open() {
        form_ = std::make_unique<Form1>(location_, FormClock{[] { return kUtc; }, [] { return kLocal; }});
        if (!form_->Load()) qFatal("Load failed");
        form_->show();
        form_->activateWindow();
        if (!QTest::qWaitForWindowActive(form_.get())) qWarning("window not active");
        return *form_;
    }
    template <class T>
    T* get(const char* name) const { return form_->findChild<T*>(QString::fromLatin1(name)); }
    QString caption() const { return get<QGroupBox>("Frame1")->title(); }
    QString focusName() const {
        QWidget* w = QApplication::focusWidget();
        while (w && w->objectName().isEmpty()) w = w->parentWidget();
        return w ? w->objectName() : QString();
    }
    // keyClicks takes Latin-1 only; this types any character.
    static void type(QWidget* w, QChar c) {
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    void click(const char* button) { QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton); }
    void checkBoxMatchesLog() {
        QCOMPARE(QString::fromStdString(form_->Log().GetText()),
                 QString::fromStdString(LogTextOf(get<QPlainTextEdit>("Text4")->toPlainText())));
        QCOMPARE(form_->Log().RecordCount(), CountRecords(form_->Log().GetText()));
        QCOMPARE(caption(), QString::fromStdString(RecordCountCaption(form_->Log().GetText())));
    }

private slots:
    void init() {
        home_ = std::make_unique<QTemporaryDir>();
        location_ = LogLocation::At(fs::path(home_->path().toStdString()) / "adif");
    }
    void cleanup() {
        form_.reset();
        home_.reset();
    }

    void startUpState() {
        ModalWatcher watcher;
        Form1& form = open();
        QVERIFY(fs::is_directory(folder()));
        QCOMPARE(form.windowTitle(), QStringLiteral("Vadozoz v1.0 by Vuradar"));
        QCOMPARE(form.size(), QSize(865, 256));
        QCOMPARE(get<QLineEdit>("Text1")->text(), QString());
        QCOMPARE(get<QComboBox>("Combo1")->currentText(), QStringLiteral("05"));
        QCOMPARE(get<QComboBox>("Combo2")->currentText(), QStringLiteral("Marzo"));
        QCOMPARE(get<QComboBox>("Combo3")->currentText(), QStringLiteral("2015"));
        QCOMPARE(get<QLineEdit>("Text2")->text(), QStringLiteral("09:05"));
        QCOMPARE(get<QLineEdit>("Text3")->text(), QStringLiteral("59"));
        QCOMPARE(get<QComboBox>("Combo4")->currentText(), QStringLiteral("10m"));
        QCOMPARE(get<QComboBox>("Combo5")->currentText(), QStringLiteral("SSB"));
        QCOMPARE(get<QPlainTextEdit>("Text4")->toPlainText(), QString());
        QCOMPARE(caption(), QStringLiteral("0 record presenti"));
        QCOMPARE(focusName(), QStringLiteral("Text1"));
        QVERIFY(watcher.seen.empty());

        const std::pair<const char*, QStringList> lists[] = {
            {"Combo2", {"Gennaio", "Febbraio", "Marzo", "Aprile", "Maggio", "Giugno", "Luglio",
                        "Agosto", "Settembre", "Ottobre", "Novembre", "Dicembre"}},
            {"Combo3", {"2014", "2015", "2016", "2017", "2018", "2019", "2020"}},
            {"Combo4", {"23cm", "70cm", "2m", "4m", "6m", "10m", "12m", "15m", "17m", "20m",
                        "30m", "40m", "80m", "160m"}},
            {"Combo5", {"SSB", "RTTY", "FM", "AM", "CW"}},
        };
        for (const auto& [name, items] : lists) {
            QComboBox* combo = get<QComboBox>(name);
            QStringList actual;
            for (int i = 0; i < combo->count(); ++i) actual << combo->itemText(i);
            QCOMPARE(actual, items);
        }
        QComboBox* days = get<QComboBox>("Combo1");
        QCOMPARE(days->count(), 31);
        QCOMPARE(days->itemText(0), QStringLiteral("1"));
        QCOMPARE(days->itemText(30), QStringLiteral("31"));
    }

    void layoutFromTheTable() {
        open();
        const std::tuple<const char*, QRect> places[] = {
            {"Picture1", {0, 0, 233, 257}},   {"Frame1", {240, 8, 617, 89}},
            {"Text1", {8, 48, 81, 21}},       {"Combo5", {464, 48, 65, 21}},
            {"Text4", {240, 104, 617, 57}},   {"Command1", {424, 184, 73, 25}},
            {"Command4", {744, 184, 81, 25}},
        };
        for (const auto& [name, rect] : places) QCOMPARE(get<QWidget>(name)->geometry(), rect);
        QCOMPARE(get<QWidget>("Text1")->parentWidget()->objectName(), QStringLiteral("Frame1"));
        QCOMPARE(get<QWidget>("Text4")->parentWidget(), form_.get());
        // Enlarging the window moves nothing.
        form_->resize(1200, 700);
        QCOMPARE(get<QWidget>("Command4")->geometry(), QRect(744, 184, 81, 25));
    }

    void imagesAreCompiledIn() {
        QImageReader icon(QStringLiteral(":/images/vadozoz.ico"));
        QCOMPARE(icon.imageCount(), 8);
        QImage picture(QStringLiteral(":/images/picture1.jpg"));
        QCOMPARE(picture.size(), QSize(244, 287));
        open();
        QVERIFY(!form_->windowIcon().isNull());
        QCOMPARE(get<QLabel>("Picture1")->pixmap().size(), QSize(244, 287));
        QCOMPARE(get<QLabel>("Picture1")->contentsRect(), QRect(2, 2, 229, 253));
    }

    void tabCycleBothWays() {
        open();
        const QStringList cycle{"Text1",    "Combo1",   "Combo2", "Combo3",   "Text2",
                                "Text3",    "Combo4",   "Combo5", "Command1", "Command2",
                                "Text4",    "Command4", "Picture1"};
        for (int i = 1; i <= cycle.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusName(), cycle[i % cycle.size()]);
        }
        for (int i = cycle.size() - 1; i >= 0; --i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(focusName(), cycle[i]);
        }
        QVERIFY(get<QPlainTextEdit>("Text4")->toPlainText().isEmpty());
    }

    void labelsAndFrameTakeNoFocus() {
        open();
        QTest::mouseClick(get<QLabel>("Label1"), Qt::LeftButton);
        QTest::mouseClick(get<QGroupBox>("Frame1"), Qt::LeftButton, {}, QPoint(20, 5));
        QCOMPARE(focusName(), QStringLiteral("Text1"));
    }

    void callSignTurnsToCapitals() {
        open();
        QLineEdit* call = get<QLineEdit>("Text1");
        QTest::keyClicks(call, "qx1abc");
        QCOMPARE(call->text(), QStringLiteral("QX1ABC"));
        QCOMPARE(call->cursorPosition(), 6);

        call->setCursorPosition(2);
        QTest::keyClicks(call, "z");
        QCOMPARE(call->text(), QStringLiteral("QXZ1ABC"));
        QCOMPARE(call->cursorPosition(), 7);

        call->setSelection(2, 2);
        QTest::keyClicks(call, "a");
        QCOMPARE(call->text(), QStringLiteral("QXAABC"));  // "Z1" replaced
        QCOMPARE(call->cursorPosition(), 6);

        call->selectAll();
        QApplication::clipboard()->setText(QStringLiteral("ik2/qx9zz"));
        QTest::keyClick(call, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(call->text(), QStringLiteral("IK2/QX9ZZ"));
        QCOMPARE(call->cursorPosition(), 9);
        QVERIFY(!call->hasSelectedText());
    }

    void salvaAppendsSavesAndKeepsTheEntry() {
        ModalWatcher watcher;
        open();
        QTest::keyClicks(get<QLineEdit>("Text1"), "qx1abc");
        click("Command1");
        QVERIFY(watcher.seen.empty());
        QCOMPARE(form_->Log().GetText(), std::string(kRecord));
        QCOMPARE(caption(), QStringLiteral("1 record presenti"));
        QCOMPARE(ReadBytes(tempLog()), std::string(kRecord) + "\r\n");
        checkBoxMatchesLog();
        QCOMPARE(get<QLineEdit>("Text1")->text(), QStringLiteral("QX1ABC"));
        QCOMPARE(get<QComboBox>("Combo1")->currentText(), QStringLiteral("05"));
        QCOMPARE(get<QLineEdit>("Text2")->text(), QStringLiteral("09:05"));

        // Typed values, and a list item picked by keyboard.
        get<QComboBox>("Combo4")->setEditText(QString());
        QTest::keyClicks(get<QComboBox>("Combo4")->lineEdit(), "20m");
        get<QComboBox>("Combo5")->setEditText(QString());
        QTest::keyClicks(get<QComboBox>("Combo5")->lineEdit(), "s");  // no completion to "SSB"
        click("Command1");
        QCOMPARE(form_->Log().GetText(),
                 std::string(kRecord) +
                     "<CALL:6>QX1ABC<QSO_DATE:8:D>20150305<TIME_ON:4>0905<BAND:3>20m<MODE:1>s<RST_SENT:2>59<EOR>\r\n");
        QCOMPARE(get<QComboBox>("Combo5")->count(), 5);
        QCOMPARE(caption(), QStringLiteral("2 record presenti"));
        const QTextCursor caret = get<QPlainTextEdit>("Text4")->textCursor();
        QVERIFY(caret.atEnd() && !caret.hasSelection());
    }

    void salvaRefused_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("message");
        QTest::newRow("no call sign") << "" << "09:05" << "05" << "Inserire un nominativo valido";
        QTest::newRow("call sign first") << "Q" << "0905" << "05" << "Inserire un nominativo valido";
        QTest::newRow("time") << "QX1ABC" << "9.05" << "05" << "Inserire l'UTC nel formato hh:mm";
        QTest::newRow("date") << "QX1ABC" << "09:05" << "32" << "Inserire una data valida";
    }
    void salvaRefused() {
        QFETCH(QString, call);
        QFETCH(QString, time);
        QFETCH(QString, day);
        QFETCH(QString, message);
        open();
        QTest::keyClicks(get<QPlainTextEdit>("Text4"), "typed");
        const std::string before = form_->Log().GetText();
        QTest::keyClicks(get<QLineEdit>("Text1"), call);
        get<QLineEdit>("Text2")->setText(time);
        get<QComboBox>("Combo1")->setEditText(day);
        ModalWatcher watcher;
        click("Command1");
        QCOMPARE(watcher.seen.size(), std::size_t{1});
        QCOMPARE(watcher.seen[0].text, message);
        QCOMPARE(watcher.seen[0].title, QStringLiteral("Vadozoz_10"));
        QCOMPARE(watcher.seen[0].icon, QMessageBox::NoIcon);
        QCOMPARE(watcher.seen[0].buttons, 1);
        QCOMPARE(form_->Log().GetText(), before);
        QVERIFY(!fs::exists(tempLog()));
        QCOMPARE(get<QLineEdit>("Text2")->text(), time);
    }

    void startUpLoadsTheTempLog() {
        fs::create_directory(folder());
        WriteBytes(tempLog(), std::string(kRecord) + kRecord + "\r\n" + kRecord + "\r\n");
        open();
        QCOMPARE(caption(), QStringLiteral("3 record presenti"));
        QCOMPARE(form_->Log().GetText(), std::string(kRecord) + kRecord + "\r\n" + kRecord);
        checkBoxMatchesLog();
        QVERIFY(get<QPlainTextEdit>("Text4")->textCursor().atEnd());
    }

    void unreadableTempLogEndsTheProgramAndKeepsTheFile() {
        fs::create_directory(folder());
        // Reading /proc/self/mem at offset 0 fails, even for root.
        fs::create_symlink("/proc/self/mem", tempLog());
        ModalWatcher watcher;
        Form1 form(location_);
        QVERIFY(!form.Load());
        QCOMPARE(watcher.seen.size(), std::size_t{1});
        QCOMPARE(watcher.seen[0].icon, QMessageBox::Warning);
        QCOMPARE(watcher.seen[0].title, QStringLiteral("Vadozoz"));
        QVERIFY(watcher.seen[0].text.startsWith("Impossibile leggere il log temporaneo "));
        QVERIFY(fs::is_symlink(tempLog()));
    }

    void folderThatCannotBeMadeIsReportedAndStartGoesOn() {
        WriteBytes(folder(), "a file");
        ModalWatcher watcher;
        open();
        QCOMPARE(watcher.seen.size(), std::size_t{1});
        QCOMPARE(watcher.seen[0].icon, QMessageBox::Warning);
        QVERIFY(watcher.seen[0].text.startsWith("Impossibile creare la cartella "));
        QCOMPARE(get<QComboBox>("Combo2")->currentText(), QStringLiteral("Marzo"));
    }

    void esciWithAnEmptyLogClosesSilently() {
        fs::create_directory(folder());
        WriteBytes(tempLog(), "kept\r\n");
        open();
        get<QPlainTextEdit>("Text4")->selectAll();
        QTest::keyClick(get<QPlainTextEdit>("Text4"), Qt::Key_Delete);
        ModalWatcher watcher;
        click("Command2");
        QVERIFY(watcher.seen.empty());
        QVERIFY(!form_->isVisible());
        QCOMPARE(ReadBytes(tempLog()), std::string("kept\r\n"));
    }

    void esciSavesAndConfirms() {
        open();
        QTest::keyClicks(get<QLineEdit>("Text1"), "qx1abc");
        click("Command1");
        QTest::keyClicks(get<QPlainTextEdit>("Text4"), "note");
        ModalWatcher watcher;
        click("Command2");
        QCOMPARE(watcher.seen.size(), std::size_t{1});
        QCOMPARE(watcher.seen[0].icon, QMessageBox::Information);
        QCOMPARE(watcher.seen[0].title, QStringLiteral("Vadozoz"));
        QCOMPARE(watcher.seen[0].text, QString::fromStdString("Il log temporaneo è stato aggiornato in " +
                                                              tempLog().string()));
        QVERIFY(!form_->isVisible());
        QCOMPARE(ReadBytes(tempLog()), std::string(kRecord) + "note\r\n");
    }

    void failedSaveKeepsTheWindowOpen() {
        open();
        QTest::keyClicks(get<QPlainTextEdit>("Text4"), "a contact");
        fs::create_directory(tempLog());
        ModalWatcher watcher;
        click("Command2");
        form_->close();  // the title bar's close button
        QCOMPARE(watcher.seen.size(), std::size_t{2});
        for (const auto& seen : watcher.seen) {
            QCOMPARE(seen.icon, QMessageBox::Warning);
            QVERIFY(seen.text.startsWith("Impossibile salvare il log temporaneo " +
                                         QString::fromStdString(tempLog().string()) + ": "));
        }
        QVERIFY(form_->isVisible());
        QCOMPARE(form_->Log().GetText(), std::string("a contact"));
    }

    void salvaReportsAFailedSilentSave() {
        open();
        fs::create_directory(tempLog());
        QTest::keyClicks(get<QLineEdit>("Text1"), "qx1abc");
        ModalWatcher watcher;
        click("Command1");
        QCOMPARE(watcher.seen.size(), std::size_t{1});
        QVERIFY(watcher.seen[0].text.startsWith("Impossibile salvare il log temporaneo "));
        QCOMPARE(form_->Log().GetText(), std::string(kRecord));
    }

    void closingTheWindowSavesLikeEsci() {
        open();
        QTest::keyClicks(get<QPlainTextEdit>("Text4"), "typed by hand");
        ModalWatcher watcher;
        form_->close();
        QCOMPARE(watcher.seen.size(), std::size_t{1});
        QCOMPARE(watcher.seen[0].icon, QMessageBox::Information);
        QVERIFY(!form_->isVisible());
        QCOMPARE(ReadBytes(tempLog()), std::string("typed by hand\r\n"));
    }

    void generaLogWithNothingToExport() {
        open();
        ModalWatcher watcher;
        click("Command4");
        QCOMPARE(watcher.seen.size(), std::size_t{1});
        QCOMPARE(watcher.seen[0].text, QStringLiteral("Nessun log temporaneo da elaborate"));
        QCOMPARE(watcher.seen[0].icon, QMessageBox::Information);
        QVERIFY(fs::is_empty(folder()));
    }

    void generaLogExportsAndEmptiesTheLog() {
        open();
        QTest::keyClicks(get<QLineEdit>("Text1"), "qx1abc");
        click("Command1");
        click("Command1");
        ModalWatcher watcher;
        click("Command4");
        QCOMPARE(watcher.seen.size(), std::size_t{1});
        QCOMPARE(watcher.seen[0].icon, QMessageBox::Information);
        QCOMPARE(watcher.seen[0].text, QString::fromStdString("Il log ADIF è stato generato in " +
                                                              folder().string() +
                                                              "\nil log temporaneo verrà azzerato"));
        const fs::path exported = folder() / "log_05Dec2014.adi";  // the local date
        QCOMPARE(ReadBytes(exported), std::string(kRecord) + kRecord + "\r\n");
        QVERIFY(!fs::exists(tempLog()));
        QCOMPARE(form_->Log().GetText(), std::string());
        QCOMPARE(get<QPlainTextEdit>("Text4")->toPlainText(), QString());
        QCOMPARE(caption(), QStringLiteral("0 record presenti"));

        QTest::keyClicks(get<QPlainTextEdit>("Text4"), "<EOR>");
        click("Command4");
        QCOMPARE(ReadBytes(folder() / "log_05Dec2014_2.adi"), std::string("<EOR>\r\n"));
    }

    void generaLogStopsOnAFailedSave() {
        open();
        QTest::keyClicks(get<QPlainTextEdit>("Text4"), "<EOR>");
        fs::create_directory(tempLog());
        ModalWatcher watcher;
        click("Command4");
        QCOMPARE(watcher.seen.size(), std::size_t{1});
        QCOMPARE(watcher.seen[0].icon, QMessageBox::Warning);
        QCOMPARE(form_->Log().GetText(), std::string("<EOR>"));
        QVERIFY(!fs::exists(folder() / "log_05Dec2014.adi"));
    }

    void logBoxEditsFollowTheCount() {
        open();
        QPlainTextEdit* box = get<QPlainTextEdit>("Text4");
        box->setFocus();
        QTest::keyClicks(box, "<EOR");
        QCOMPARE(caption(), QStringLiteral("0 record presenti"));
        QTest::keyClicks(box, ">");
        QCOMPARE(caption(), QStringLiteral("1 record presenti"));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, "<eor>");
        QCOMPARE(form_->Log().GetText(), std::string("<EOR>\r\n<eor>"));
        QCOMPARE(caption(), QStringLiteral("2 record presenti"));
        QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(form_->Log().GetText(), std::string("<EOR>\r\n<eor>\r\n"));
        // Typing in the middle: the caret goes back to the end afterwards.
        box->moveCursor(QTextCursor::Start);
        QTest::keyClick(box, Qt::Key_Right);
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(form_->Log().GetText(), std::string("<OR>\r\n<eor>\r\n"));
        QCOMPARE(caption(), QStringLiteral("1 record presenti"));
        QVERIFY(box->textCursor().atEnd());
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(form_->Log().GetText(), std::string("<OR>\r\n<eor>"));
        // Tab leaves the box and inserts nothing.
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("Command4"));
        QCOMPARE(form_->Log().GetText(), std::string("<OR>\r\n<eor>"));
        checkBoxMatchesLog();
    }

    void logBoxAndLogStayOneTextUnderRandomEditing_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("ASCII") << QStringLiteral("<EOR>ab ");
        QTest::newRow("beyond ASCII") << QStringLiteral("<EOR>ab \u00e8\u20ac");
    }
    void logBoxAndLogStayOneTextUnderRandomEditing() {
        QFETCH(QString, typed);
        fs::create_directory(folder());
        WriteBytes(tempLog(), std::string(kRecord) + kRecord);
        open();
        QPlainTextEdit* box = get<QPlainTextEdit>("Text4");
        box->setFocus();
        QRandomGenerator random(11);
        const Qt::Key moves[] = {Qt::Key_Home, Qt::Key_Up, Qt::Key_Left, Qt::Key_PageUp};
        for (int step = 0; step < 400; ++step) {
            switch (random.bounded(6)) {
                case 0: QTest::keyClick(box, Qt::Key_Return); break;
                case 1: QTest::keyClick(box, Qt::Key_Backspace); break;
                case 2:
                    QTest::keyClick(box, moves[random.bounded(4)]);
                    QTest::keyClick(box, Qt::Key_Delete);
                    break;
                case 3:
                    QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier);
                    QTest::keyClick(box, Qt::Key_Up, Qt::ShiftModifier);
                    type(box, typed[random.bounded(typed.size())]);
                    break;
                default: type(box, typed[random.bounded(typed.size())]); break;
            }
            checkBoxMatchesLog();
            if (QTest::currentTestFailed()) {
                qWarning("after step %d", step);
                return;
            }
        }
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
