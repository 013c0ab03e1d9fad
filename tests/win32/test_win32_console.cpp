// The template tool's text on Windows: UTF-16 to a console, the UTF-8 bytes
// unchanged to a file or a pipe; arguments with Polish letters reach the
// tool intact. And how the programs end on the console's control events.

#include "image/template_file.h"
#include "link/console_events_win.h"
#include "tests/image/image_bytes.h"
#include "tools/template/console_output_win.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace gnc;

namespace {

const std::string polish_line = "Zapis pliku nie może być przeprowadzony: żółć ĄĘŁŃÓŚŹŻ\n";

// Wine shows the Linux file system as drive Z:.
QString windows_path(const QString& path) {
    return path.startsWith('/') ? QStringLiteral("Z:") + path : path;
}

QString template_tool() {
    return windows_path(QStringLiteral(GNC_TEMPLATE_TOOL));
}

struct ToolRun {
    int status = -1;
    QByteArray out, err;
};

ToolRun run_tool(const QStringList& arguments) {
    QProcess tool;
    tool.start(template_tool(), arguments);
    ToolRun run;
    if (!tool.waitForFinished(60000)) {
        tool.kill();
        tool.waitForFinished();
        return run;
    }
    run.status = tool.exitCode();
    run.out = tool.readAllStandardOutput();
    run.err = tool.readAllStandardError();
    return run;
}

} // namespace

class Win32ConsoleTest : public QObject {
    Q_OBJECT

  private slots:
    void a_pipe_gets_the_utf8_bytes() {
        HANDLE read_end = nullptr;
        HANDLE write_end = nullptr;
        QVERIFY(CreatePipe(&read_end, &write_end, nullptr, 1 << 16) != 0);
        QCOMPARE(cli::text_form_for(write_end), cli::TextForm::utf8_bytes);
        QVERIFY(cli::write_text(write_end, polish_line));
        CloseHandle(write_end);
        std::string got(polish_line.size() + 16, '\0');
        DWORD read = 0;
        QVERIFY(ReadFile(read_end, got.data(), static_cast<DWORD>(got.size()), &read, nullptr));
        CloseHandle(read_end);
        got.resize(read);
        QCOMPARE(got, polish_line); // no CR added, no code page applied
    }

    void a_file_gets_the_utf8_bytes() {
        QTemporaryDir dir;
        const std::wstring path = QDir::toNativeSeparators(dir.filePath("out.txt")).toStdWString();
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        QVERIFY(file != INVALID_HANDLE_VALUE);
        QCOMPARE(cli::text_form_for(file), cli::TextForm::utf8_bytes);
        QVERIFY(cli::write_text(file, polish_line));
        CloseHandle(file);
        QFile written(QString::fromStdWString(path));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll().toStdString(), polish_line);
        QVERIFY(!cli::write_text(INVALID_HANDLE_VALUE, polish_line));
    }

    void a_console_gets_utf16() {
        const HANDLE console =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD mode = 0;
        if (console == INVALID_HANDLE_VALUE || GetConsoleMode(console, &mode) == 0) {
            if (console != INVALID_HANDLE_VALUE)
                CloseHandle(console);
            QSKIP("no console attached to this test");
        }
        QCOMPARE(cli::text_form_for(console), cli::TextForm::utf16_console);
        QVERIFY(cli::write_text(console, "żółć\n"));
        CloseHandle(console);
    }

    // The name travels through the command line as UTF-16 and back; the
    // messages come out as UTF-8 on the pipe.
    void the_tool_takes_polish_names_and_prints_utf8() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Łukasz/Szablony")));
        const QString name = QDir::toNativeSeparators(
            dir.filePath(QStringLiteral("Łukasz/Szablony/biuro żółć.sbn")));
        QVERIFY(save_template(name.toStdString(), test::filled_image(0xFF)));

        const ToolRun shown = run_tool({QStringLiteral("show"), name});
        QCOMPARE(shown.status, 0);
        QVERIFY(!shown.out.isEmpty());
        QVERIFY(!shown.out.contains('\r'));

        const ToolRun missing =
            run_tool({QStringLiteral("show"), name + QStringLiteral(" brak ąę")});
        QCOMPARE(missing.status, 1);
        QCOMPARE(missing.err, QByteArray("Odczyt pliku nie może być przeprowadzony\n"));

        const ToolRun device = run_tool({QStringLiteral("show"), QStringLiteral("NUL")});
        QCOMPARE(device.status, 1);
    }

    void console_events_end_with_the_linux_statuses() {
        QCOMPARE(gnc::exit_status_for_console_event(CTRL_C_EVENT), 130);     // SIGINT
        QCOMPARE(gnc::exit_status_for_console_event(CTRL_BREAK_EVENT), 130); // SIGINT
        QCOMPARE(gnc::exit_status_for_console_event(CTRL_CLOSE_EVENT), 129); // SIGHUP
        QCOMPARE(gnc::exit_status_for_console_event(CTRL_LOGOFF_EVENT), 143);   // SIGTERM
        QCOMPARE(gnc::exit_status_for_console_event(CTRL_SHUTDOWN_EVENT), 143); // SIGTERM
        // Only these end the process when the handler returns.
        QVERIFY(!gnc::console_event_ends_the_process(CTRL_C_EVENT));
        QVERIFY(!gnc::console_event_ends_the_process(CTRL_BREAK_EVENT));
        QVERIFY(gnc::console_event_ends_the_process(CTRL_CLOSE_EVENT));
        QVERIFY(gnc::console_event_ends_the_process(CTRL_LOGOFF_EVENT));
        QVERIFY(gnc::console_event_ends_the_process(CTRL_SHUTDOWN_EVENT));
    }
};

QTEST_GUILESS_MAIN(Win32ConsoleTest)
#include "test_win32_console.moc"
