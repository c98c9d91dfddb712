// The window against a full disk and odd files, as the user sees it: every
// failure is a message box with the reason, and no stored byte changes.

#include <sys/mount.h>
#include <sched.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "core/log_location.h"
#include "fault_records.h"
#include "fixed_clock.h"
#include "modal_watcher.h"
#include "temp_folder.h"
#include "ui/form1.h"

using namespace vadozoz;
using namespace vadozoz::ui;
using vadozoz::ui::testing::kLocal;
using vadozoz::ui::testing::kUtc;
using vadozoz::ui::testing::ModalWatcher;
using vadozoz::testing::ReadBytes;
using vadozoz::testing::WriteBytes;
namespace fs = std::filesystem;

namespace {

const std::string kTyped(vadozoz::ui::testing::kTypedRecord);

// Every path under `root` with its bytes ("/" for a folder): what "nothing
// stored changed" compares.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> all;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        all[entry.path().string()] = entry.is_directory() ? "/" : ReadBytes(entry.path());
    }
    return all;
}

std::string Log(long first, long count) {
    std::string text;
    for (long id = first; id < first + count; ++id) text += faults::RecordLine(id);
    return text;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

class WindowFaults : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home_;
    LogLocation location_;
    std::unique_ptr<Form1> form_;
    fs::path mounted_;

    fs::path home() const { return fs::path(home_->path().toStdString()); }
    fs::path tempLog() const { return location_.TempLog(); }

    Form1& open() {
        form_ = std::make_unique<Form1>(location_, FormClock{[] { return kUtc; }, [] { return kLocal; }});
        if (!form_->Load()) qFatal("Load failed");
        form_->show();
        return *form_;
    }
    template <class T>
    T* get(const char* name) const { return form_->findChild<T*>(QString::fromLatin1(name)); }
    void click(const char* button) { QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton); }
    QString caption() const { return get<QGroupBox>("Frame1")->title(); }

    // A tmpfs of `size` as the log folder, in a mount namespace of our own.
    bool MountSmallDisk(const char* size) {
        if (unshare(CLONE_NEWNS) != 0) {
            qWarning("no private mount namespace: %s", std::strerror(errno));
            return false;
        }
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            qWarning("cannot make mounts private: %s", std::strerror(errno));
            return false;
        }
        fs::create_directory(location_.folder);
        const std::string options = std::string("size=") + size;
        if (mount("tmpfs", location_.folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            qWarning("cannot mount a tmpfs: %s", std::strerror(errno));
            return false;
        }
        mounted_ = location_.folder;
        return true;
    }

    // Takes all the space that is left, and returns the file that holds it.
    fs::path FillDisk() const {
        const fs::path filler = home() / "adif" / "filler";
        std::FILE* f = std::fopen(filler.c_str(), "wb");
        if (!f) qFatal("cannot create %s", filler.c_str());
        const std::string block(4096, 'f');
        while (std::fwrite(block.data(), 1, block.size(), f) == block.size() && std::fflush(f) == 0) {
        }
        std::fclose(f);
        return filler;
    }

    void expectOnly(const ModalWatcher& watcher, QMessageBox::Icon icon, const QString& text) {
        QCOMPARE(watcher.seen.size(), std::size_t{1});
        QCOMPARE(watcher.seen[0].icon, icon);
        QCOMPARE(watcher.seen[0].title, QStringLiteral("Vadozoz"));
        QCOMPARE(watcher.seen[0].text, text);
    }

private slots:
    void init() {
        home_ = std::make_unique<QTemporaryDir>();
        location_ = LogLocation::At(home() / "adif");
    }
    void cleanup() {
        form_.reset();
        if (!mounted_.empty()) umount(mounted_.c_str());
        mounted_.clear();
        home_.reset();
    }

    void fullDiskRefusesKeepsTheLogAndRetryWorks() {
        if (!MountSmallDisk("2m")) QSKIP("this machine allows no private tmpfs (see the warning above)");
        // A big log: a save needs room for a second copy of it.
        const std::string stored = Log(1, 6000) + "\r\n";
        WriteBytes(tempLog(), stored);
        open();
        QCOMPARE(caption(), QStringLiteral("6000 record presenti"));
        const fs::path filler = FillDisk();
        const auto before = Snapshot(location_.folder);
        const QString saveFailed = Q("Impossibile salvare il log temporaneo " + tempLog().string() + ": " +
                                     std::strerror(ENOSPC));

        QTest::keyClicks(get<QLineEdit>("Text1"), "qx1abc");
        {
            ModalWatcher watcher;
            click("Command1");  // "Salva": the record is kept in the box, the save is refused
            expectOnly(watcher, QMessageBox::Warning, saveFailed);
        }
        QCOMPARE(caption(), QStringLiteral("6001 record presenti"));
        {
            ModalWatcher watcher;
            click("Command4");  // "Genera Log" saves first, and stops there
            expectOnly(watcher, QMessageBox::Warning, saveFailed);
        }
        {
            ModalWatcher watcher;
            click("Command2");  // "Esci" must not leave with the record unsaved
            expectOnly(watcher, QMessageBox::Warning, saveFailed);
        }
        QVERIFY(form_->isVisible());
        QVERIFY(Snapshot(location_.folder) == before);

        fs::remove(filler);
        {
            ModalWatcher watcher;
            click("Command2");
            expectOnly(watcher, QMessageBox::Information,
                       Q("Il log temporaneo è stato aggiornato in " + tempLog().string()));
        }
        QVERIFY(!form_->isVisible());
        QCOMPARE(ReadBytes(tempLog()), Log(1, 6000) + kTyped + "\r\n");
    }

    void fullDiskStillExportsASavedLog() {
        if (!MountSmallDisk("1m")) QSKIP("this machine allows no private tmpfs (see the warning above)");
        const std::string stored = Log(1, 4000) + "\r\n";
        WriteBytes(tempLog(), stored);
        open();
        FillDisk();
        // log.ziz already holds the log in the box: the export needs no new
        // room, so a full disk does not keep the user from exporting.
        {
            ModalWatcher watcher;
            click("Command4");
            expectOnly(watcher, QMessageBox::Information,
                       Q("Il log ADIF è stato generato in " + location_.folder.string() +
                         "\nil log temporaneo verrà azzerato"));
        }
        QCOMPARE(ReadBytes(location_.folder / "log_05Dec2014.adi"), stored);
        QVERIFY(!fs::exists(tempLog()));
        QCOMPARE(caption(), QStringLiteral("0 record presenti"));
    }

    void oddFilesGiveAClearMessageAndLoseNothing_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<int>("error");
        QTest::newRow("log.ziz is a folder") << "log.ziz" << EISDIR;
        QTest::newRow("adif is a file") << "adif" << ENOTDIR;
    }
    void oddFilesGiveAClearMessageAndLoseNothing() {
        QFETCH(QString, obstacle);
        QFETCH(int, error);
        if (obstacle == "log.ziz") {
            fs::create_directories(tempLog());
            WriteBytes(tempLog() / "kept", "a file the user keeps there\r\n");
        } else {
            WriteBytes(location_.folder, "not a folder\r\n");
        }
        const auto before = Snapshot(home());
        const QString saveFailed =
            Q("Impossibile salvare il log temporaneo " + tempLog().string() + ": " + std::strerror(error));
        {
            ModalWatcher watcher;
            open();
            if (obstacle == "adif") {
                expectOnly(watcher, QMessageBox::Warning,
                           Q("Impossibile creare la cartella " + location_.folder.string() + ": " +
                             std::strerror(ENOTDIR)));
            } else {
                QVERIFY(watcher.seen.empty());
            }
        }
        QTest::keyClicks(get<QLineEdit>("Text1"), "qx1abc");
        for (const char* button : {"Command1", "Command4", "Command2"}) {
            ModalWatcher watcher;
            click(button);
            expectOnly(watcher, QMessageBox::Warning, saveFailed);
        }
        {
            ModalWatcher watcher;
            form_->close();  // the title bar
            expectOnly(watcher, QMessageBox::Warning, saveFailed);
        }
        QVERIFY(form_->isVisible());
        QCOMPARE(caption(), QStringLiteral("1 record presenti"));
        QVERIFY(Snapshot(home()) == before);
    }

    void windows1252LogIsReadAsTextAndKept() {
        fs::create_directory(location_.folder);
        const std::string record = faults::RecordLine(7);
        WriteBytes(tempLog(), record + "nota: Citt\xE0, 5\x80, \x93ok\x94\r\n\r\n");
        open();
        QCOMPARE(caption(), QStringLiteral("1 record presenti"));
        QVERIFY(get<QPlainTextEdit>("Text4")->toPlainText().contains(QStringLiteral("\nnota: Città, 5€, “ok”\n")));
        {
            ModalWatcher watcher;
            click("Command2");
            QCOMPARE(watcher.seen.size(), std::size_t{1});
            QCOMPARE(watcher.seen[0].icon, QMessageBox::Information);
        }
        // Saved back as UTF-8: every character kept, none became "?".
        QCOMPARE(ReadBytes(tempLog()), record + "nota: Citt\xC3\xA0, 5\xE2\x82\xAC, \xE2\x80\x9Cok\xE2\x80\x9D\r\n\r\n");
    }
};

QTEST_MAIN(WindowFaults)
#include "window_faults_test.moc"
