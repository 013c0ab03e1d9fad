// The line-fault matrix: the link controller and the real serial port, driven
// by Timer1 and Timer2 at their real intervals, against the simulated device
// with one line fault at a time, for a read and for a programming. For each
// cell it checks the text the progress window would show, that an image is
// accepted only when every page arrived intact, and that the device's memory
// holds the old image, the complete new one, or new pages only as far as the
// device acknowledged them one by one (plus, at most, the one page it stored
// without its acknowledgement getting through).
//
// Each cell runs in a process of its own (this program with --cell), all at
// once, because a cell takes as long as the real exchange: up to about 20 s
// for the cells that end in a time-out. The table of outcomes is printed.

#include "link/link_controller.h"
#include "link/link_texts.h"
#include "link/searching_port.h"
#include "tests/link/link_fakes.h"
#include "tests/support/lock_files.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

using namespace gnc;

namespace {

enum class Run { read, programming };

struct Fault {
    const char* name;
    QStringList options; // of the simulator
    bool read_completes;
    bool programming_completes;
    const char* memory_after_programming;
};

// A late reply comes 1.3 ticks after its request, so every request goes out
// twice and the second reply arrives when the next page is being read.
// Hang-ups count the frames the device received, the connect answer first.
const std::vector<Fault> faults{
    {"no fault", {}, true, true, "new"},
    {"late replies", {"--reply-delay", "1300"}, true, true, "new"},
    {"ignored requests", {"--ignore-requests", "3"}, true, true, "new"},
    {"corrupt check byte", {"--corrupt-check"}, true, true, "new"},
    {"reply for another page", {"--wrong-page"}, true, true, "new"},
    {"silence after connect", {"--silent-after", "1"}, false, false, "old"},
    {"hang-up mid-read", {"--hang-up-after", "3"}, false, false, "new 0-1, old 2-3"},
    {"never-acknowledged writes", {"--never-ack"}, true, false, "new 0, old 1-3"},
    {"hang-up mid-programming", {"--hang-up-after", "4"}, false, false, "new 0-2, old 3"},
};

constexpr int pages = settings_page_count;

QByteArray old_memory() {
    QByteArray memory(settings_image_size, '\0');
    for (int i = 0; i < memory.size(); ++i) {
        memory[i] = static_cast<char>((i * 11 + 7) % 253);
    }
    return memory;
}

QByteArray new_memory() {
    QByteArray memory(settings_image_size, '\0');
    for (int i = 0; i < memory.size(); ++i) {
        memory[i] = static_cast<char>((i * 5 + i / 512 * 41 + 3) % 241);
    }
    return memory;
}

bool same_page(const QByteArray& a, const QByteArray& b, int page) {
    return a.size() == b.size() && a.mid(page * 512, 512) == b.mid(page * 512, 512);
}

// "old", "new", or which pages are new and which old ("new 0-1, old 2-3").
QString describe_memory(const QByteArray& memory) {
    QStringList parts;
    for (const bool want_new : {true, false}) {
        const QByteArray& reference = want_new ? new_memory() : old_memory();
        QList<int> matching;
        for (int page = 0; page < pages; ++page) {
            if (same_page(memory, reference, page)) {
                matching.append(page);
            }
        }
        if (matching.size() == pages) {
            return want_new ? "new" : "old";
        }
        if (matching.isEmpty()) {
            continue;
        }
        QString range = QString::number(matching.first());
        if (matching.size() > 1) {
            range += "-" + QString::number(matching.last());
        }
        parts.append((want_new ? "new " : "old ") + range);
    }
    const int described = static_cast<int>(parts.size());
    return described == 0 ? "neither" : parts.join(", ");
}

QByteArray image_bytes(const ImageBuffer& image, std::size_t from, std::size_t count) {
    return QByteArray(reinterpret_cast<const char*>(image.data() + from),
                      static_cast<qsizetype>(count));
}

// Runs the event loop (timer ticks included) until `done` or `limit_ms`.
void run_until(const std::function<bool()>& done, int limit_ms) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    poll.start(20);
    QTimer::singleShot(limit_ms, &loop, &QEventLoop::quit);
    if (!done()) {
        loop.exec();
    }
}

// ---- One cell (a child process) -------------------------------------------------

class Cell {
  public:
    Cell(const Fault& fault, Run run) : fault_(fault), run_(run) {}

    QJsonObject run() {
        QJsonObject result;
        if (!start_device()) {
            result["error"] = "the simulated device did not start";
            return result;
        }
        QTimer timer1;
        QTimer timer2;
        QObject::connect(&timer1, &QTimer::timeout, [this] { controller_.timer1_tick(); });
        QObject::connect(&timer2, &QTimer::timeout, [this] { controller_.timer2_tick(); });
        timer1.start(exchange_tick_ms);
        timer2.start(supervision_tick_ms);

        result["connected"] = connect();
        if (run_ == Run::read) {
            read(result);
        } else {
            program(result);
        }
        timer1.stop();
        timer2.stop();
        // A line that hung up is released at once: nothing may keep its lock.
        result["lock_left"] = test::lock_file_exists(qEnvironmentVariable("GSM_NOTIFIER_COM1"));
        stop_device(result);
        return result;
    }

  private:
    bool start_device() {
        QFile memory(dir_.filePath("memory.bin"));
        if (!memory.open(QIODevice::WriteOnly) || memory.write(old_memory()) != 2048) {
            return false;
        }
        memory.close();
        // Offers far apart: a second offer never crosses the answer to the first.
        const QStringList options{"--log",           "--offer-interval", "3000",      "--memory",
                                  memory.fileName(), "--save",           saved_path()};
        sim_.start(QStringLiteral(GNC_SIM_PATH), options + fault_.options);
        if (!sim_.waitForStarted(5000)) {
            return false;
        }
        while (!sim_.canReadLine()) {
            if (!sim_.waitForReadyRead(5000)) {
                return false;
            }
        }
        const QByteArray path = sim_.readLine().trimmed();
        qputenv("GSM_NOTIFIER_COM1", path);
        return !path.isEmpty();
    }

    QString saved_path() const { return dir_.filePath("saved.bin"); }

    bool connect() {
        view_.on_show[LinkWindow::connect] = [this] {
            run_until([this] { return !view_.open[LinkWindow::connect]; }, 25000);
        };
        controller_.connect_action();
        return link_.link_up == 1;
    }

    void read(QJsonObject& result) {
        view_.on_show[LinkWindow::read] = [this] {
            run_until([this] { return link_.read_watch_on == 0; }, 30000);
        };
        controller_.read_action();
        result["text"] = QString::fromStdString(view_.label(LinkWindow::read));
        result["status"] = QString::fromStdString(view_.status());
        result["accepted"] = view_.decodes == 1 && link_.read_failed == 0;
        result["decodes"] = view_.decodes;
        result["image_intact"] = image_bytes(image_, 0, settings_image_size) == old_memory() &&
                                 image_bytes(image_, settings_image_size, settings_image_size) ==
                                     QByteArray(settings_image_size, '\xFF');
        // A failed read leaves 0xFF in the pages it did not get.
        int pages_as_read_or_erased = 0;
        for (int page = 0; page < pages; ++page) {
            const QByteArray got = image_bytes(image_, page * 512, 512);
            if (got == old_memory().mid(page * 512, 512) || got == QByteArray(512, '\xFF')) {
                ++pages_as_read_or_erased;
            }
        }
        result["pages_whole"] = pages_as_read_or_erased;
    }

    void program(QJsonObject& result) {
        const QByteArray image = new_memory();
        std::copy(image.begin(), image.end(), image_.begin());
        std::fill(image_.begin() + settings_image_size, image_.end(), 0xFF);
        // What the messages window does before it starts a programming.
        link_.watchdog_armed = 0;
        if (link_.link_up != 1) {
            result["text"] = "(no link: programming refused)";
            return;
        }
        view_.on_show[LinkWindow::programming] = [this] {
            run_until([this] { return link_.program_watch_on == 0; }, 30000);
        };
        controller_.start_programming();
        result["text"] = QString::fromStdString(view_.label(LinkWindow::programming));
        result["status"] = QString::fromStdString(view_.status());
    }

    void stop_device(QJsonObject& result) {
        // A write may still be on its way: give the device a moment to store it.
        run_until([] { return false; }, 300);
        if (sim_.state() != QProcess::NotRunning) {
            sim_.terminate();
        }
        sim_.waitForFinished(5000);
        const QString log = QString::fromUtf8(sim_.readAllStandardError());
        // A device that crashed or broke a sanitizer's check says nothing
        // about the configurator: such a cell fails.
        result["device_ok"] = sim_.exitStatus() == QProcess::NormalExit && sim_.exitCode() == 0 &&
                              !log.contains("runtime error") && !log.contains("Sanitizer");
        result["acknowledged"] = static_cast<int>(log.count("   acknowledgement, page"));
        QFile saved(saved_path());
        const QByteArray memory = saved.open(QIODevice::ReadOnly) ? saved.readAll() : old_memory();
        result["memory"] = describe_memory(memory);
        int new_pages = 0;
        for (int page = 0; page < pages; ++page) {
            new_pages |= same_page(memory, new_memory(), page) ? 1 << page : 0;
        }
        result["new_pages"] = new_pages;
        int old_pages = 0;
        for (int page = 0; page < pages; ++page) {
            old_pages |= same_page(memory, old_memory(), page) ? 1 << page : 0;
        }
        result["old_pages"] = old_pages;
    }

    const Fault& fault_;
    Run run_;
    QTemporaryDir dir_;
    QProcess sim_;
    LinkState link_;
    LinkBuffer buffer_{};
    ImageBuffer image_{};
    std::string port_name_ = "COM1";
    SearchingPort port_; // the configurator's port
    test::FakeView view_;
    LinkController controller_{link_, buffer_, image_, port_name_, port_, view_};
};

int run_cell(int fault_index, Run run) {
    QJsonObject result;
    {
        Cell cell(faults.at(static_cast<std::size_t>(fault_index)), run);
        result = cell.run();
    }
    std::printf("RESULT %s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return 0;
}

// ---- The matrix (the test) ------------------------------------------------------

struct Outcome {
    const Fault* fault;
    Run run;
    QJsonObject result;
    QStringList problems;
};

// Long texts keep their start and their end, which tells the read failure
// (with a full stop) from the programming failure.
QString short_text(const QString& text) {
    return text.size() > 40 ? text.left(14) + "…" + text.right(25) : text;
}

// Every new page must have been acknowledged, except the one page after the
// acknowledged ones, which the device may have stored without its
// acknowledgement getting through; every other page is old.
bool memory_as_acknowledged(int new_pages, int old_pages, int acknowledged) {
    for (int page = 0; page < pages; ++page) {
        const bool is_new = new_pages & (1 << page);
        const bool is_old = old_pages & (1 << page);
        const bool allowed = page < acknowledged    ? is_new
                             : page == acknowledged ? (is_new || is_old)
                                                    : is_old;
        if (!allowed) {
            return false;
        }
    }
    return true;
}

void judge_read(Outcome& o) {
    const QJsonObject& r = o.result;
    const bool completes = o.fault->read_completes;
    const QString want = completes ? text_read_done : text_read_failed;
    if (r["text"].toString() != want) {
        o.problems << "window shows \"" + r["text"].toString() + "\"";
    }
    const QString status = completes ? text_connected_status : text_link_broken_status;
    if (r["status"].toString() != status) {
        o.problems << "status line \"" + r["status"].toString() + "\"";
    }
    if (r["accepted"].toBool() != completes || r["decodes"].toInt() != (completes ? 1 : 0)) {
        o.problems << "image accepted: " + QString::number(r["decodes"].toInt()) + " decodings";
    }
    if (r["accepted"].toBool() && !r["image_intact"].toBool()) {
        o.problems << "accepted image differs from the device's memory";
    }
    if (r["pages_whole"].toInt() != pages) {
        o.problems << "a page holds neither the device's bytes nor 0xFF";
    }
    if (r["memory"].toString() != "old") {
        o.problems << "a read changed the device's memory";
    }
}

void judge_programming(Outcome& o) {
    const QJsonObject& r = o.result;
    const bool completes = o.fault->programming_completes;
    const QString want = completes ? text_programming_done : text_programming_failed;
    if (r["text"].toString() != want) {
        o.problems << "window shows \"" + r["text"].toString() + "\"";
    }
    // A programming, whatever its end, leaves the status line alone.
    if (r["status"].toString() != text_connected_status) {
        o.problems << "status line \"" + r["status"].toString() + "\"";
    }
    if (completes && r["memory"].toString() != "new") {
        o.problems << "success shown but the memory is " + r["memory"].toString();
    }
    if (!memory_as_acknowledged(r["new_pages"].toInt(), r["old_pages"].toInt(),
                                r["acknowledged"].toInt())) {
        o.problems << "new pages beyond what the device acknowledged";
    }
    if (r["memory"].toString() != o.fault->memory_after_programming) {
        o.problems << QString("memory %1, expected %2")
                          .arg(r["memory"].toString(), o.fault->memory_after_programming);
    }
}

void judge(Outcome& o) {
    if (o.result.isEmpty() || o.result.contains("error")) {
        o.problems << (o.result.isEmpty() ? "no result" : o.result["error"].toString());
        return;
    }
    if (!o.result["connected"].toBool()) {
        o.problems << "no link";
    }
    if (!o.result["device_ok"].toBool()) {
        o.problems << "the simulated device failed";
    }
    if (o.fault->options.contains("--hang-up-after") && o.result["lock_left"].toBool()) {
        o.problems << "lock file left behind";
    }
    if (o.run == Run::read) {
        judge_read(o);
    } else {
        judge_programming(o);
    }
}

void print_table(const std::vector<Outcome>& outcomes) {
    auto line = [](const QString& fault, const QString& run, const QString& text,
                   const QString& detail, const QString& verdict) {
        const QString row = "| " + fault.leftJustified(26) + " | " + run.leftJustified(11) + " | " +
                            text.leftJustified(40) + " | " + detail.leftJustified(38) + " | " +
                            verdict.leftJustified(3) + " |";
        std::printf("%s\n", row.toUtf8().constData());
    };
    std::printf("\nLine-fault matrix\n\n");
    line("fault", "run", "window text", "image / device memory", "ok");
    line("---", "---", "---", "---", "---");
    for (const Outcome& o : outcomes) {
        const QJsonObject& r = o.result;
        QString detail;
        if (o.run == Run::read) {
            detail = r["accepted"].toBool() ? "image accepted, intact"
                                            : "image not accepted, link-broken status";
        } else {
            detail = "memory " + r["memory"].toString() + ", " +
                     QString::number(r["acknowledged"].toInt()) + " acks";
        }
        line(o.fault->name, o.run == Run::read ? "read" : "programming",
             short_text(r["text"].toString()), detail, o.problems.isEmpty() ? "yes" : "NO");
    }
    std::printf("\n");
    for (const Outcome& o : outcomes) {
        for (const QString& problem : o.problems) {
            std::printf("%s, %s: %s\n", o.fault->name, o.run == Run::read ? "read" : "programming",
                        qPrintable(problem));
        }
    }
    std::fflush(stdout);
}

} // namespace

class TestLineFaults : public QObject {
    Q_OBJECT
  private slots:
    void matrix();
};

void TestLineFaults::matrix() {
    std::vector<Outcome> outcomes;
    std::vector<std::unique_ptr<QProcess>> cells;
    QElapsedTimer clock;
    clock.start();
    for (std::size_t f = 0; f < faults.size(); ++f) {
        for (const Run run : {Run::read, Run::programming}) {
            outcomes.push_back({&faults[f], run, {}, {}});
            auto cell = std::make_unique<QProcess>();
            cell->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            cell->start(QCoreApplication::applicationFilePath(),
                        {"--cell", QString::number(f), run == Run::read ? "read" : "programming"});
            cells.push_back(std::move(cell));
        }
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        QProcess& cell = *cells[i];
        if (!cell.waitForFinished(120000)) {
            cell.kill();
            cell.waitForFinished(5000);
        }
        for (const QByteArray& out : cell.readAllStandardOutput().split('\n')) {
            if (out.startsWith("RESULT ")) {
                outcomes[i].result = QJsonDocument::fromJson(out.mid(7)).object();
            }
        }
        judge(outcomes[i]);
    }
    print_table(outcomes);
    std::printf("The matrix took %.1f s\n", static_cast<double>(clock.elapsed()) / 1000.0);
    for (const Outcome& o : outcomes) {
        QVERIFY2(o.problems.isEmpty(), o.fault->name);
    }
}

int main(int argc, char** argv) {
    if (argc == 4 && QByteArray(argv[1]) == "--cell") {
        QCoreApplication app(argc, argv);
        const Run run = QByteArray(argv[3]) == "read" ? Run::read : Run::programming;
        return run_cell(QByteArray(argv[2]).toInt(), run);
    }
    QCoreApplication app(argc, argv);
    TestLineFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_line_faults.moc"
