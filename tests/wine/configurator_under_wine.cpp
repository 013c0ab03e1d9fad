// The configurator's real windows under Wine, with the Windows serial port
// against the simulated device (COM1 of the Wine prefix links to its
// pseudo-terminal; configurator_test.sh arranges it and checks the device's
// memory afterwards):
// - the demo device is connected, read into the windows and programmed back
//   with one value changed, without a single message box;
// - a template saved under a name with Polish letters and spaces loads back;
// - file names that Windows gives to devices are refused for loading and
//   saving, with the program's own messages;
// - the save dialog's report type writes the settings report (the script
//   reads it back beside the Linux tool's report of the same template), and
//   Windows' own open dialog offers the backups as a file type that goes to
//   the backup folder, from which a backup loads.
// Environment (Qt Test takes arguments for test names):
//   GNC_WINE_WORK    a Windows path, the folder templates are written to
//   GNC_WINE_MEMORY  the simulator's --save file, as a Windows path
// Second pass (COM3: a silent device, COM14: the demo device): COM14 listed
// after COM8, and the device reached on it chosen, typed and found.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "editors/messages_window.h"
#include "editors/parameters_window.h"
#include "image/backup_store.h"
#include "link/port_choices.h"
#include "tests/editors/messages_fixture.h"
#include "tests/support/demo_road.h"
#include "tests/support/modal_watcher.h"
#include "tools/demo/demo_settings.h"
#include "windows/connect_window.h"
#include "windows/file_dialogs.h"
#include "windows/programming_window.h"
#include "windows/radio_group.h"
#include "windows/read_window.h"
#include "windows/text.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <string>

#include <windows.h>

using namespace gnc;
using namespace gnc::test;

namespace {

constexpr int link_wait_ms = 30000;

QString argument(int index) {
    return qEnvironmentVariable(index == 1 ? "GNC_WINE_WORK" : "GNC_WINE_MEMORY");
}

QByteArray file_contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Windows' own file dialog of this process (a visible "#32770" window):
// its file type box (a combo box listing "*." types) and file name box.
struct NativeDialog {
    HWND window = nullptr, types = nullptr, name = nullptr;
    QStringList type_names;
};

BOOL CALLBACK find_controls(HWND child, LPARAM found_at) {
    auto& found = *reinterpret_cast<NativeDialog*>(found_at);
    wchar_t kind[32] = {};
    GetClassNameW(child, kind, 32);
    if (std::wstring(kind) == L"Edit" && found.name == nullptr && IsWindowVisible(child))
        found.name = child;
    if (std::wstring(kind) != L"ComboBox" || found.types != nullptr)
        return TRUE;
    QStringList items;
    for (LRESULT i = 0; i < SendMessageW(child, CB_GETCOUNT, 0, 0); ++i) {
        wchar_t item[256] = {};
        if (SendMessageW(child, CB_GETLBTEXTLEN, i, 0) < 255)
            SendMessageW(child, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        items << QString::fromWCharArray(item);
    }
    if (items.join(u'|').contains(QStringLiteral("*."))) {
        found.types = child;
        found.type_names = items;
    }
    return TRUE;
}

BOOL CALLBACK find_dialog(HWND window, LPARAM found_at) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t kind[16] = {};
    GetClassNameW(window, kind, 16);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
        std::wstring(kind) != L"#32770")
        return TRUE;
    reinterpret_cast<NativeDialog*>(found_at)->window = window;
    EnumChildWindows(window, find_controls, found_at);
    return FALSE;
}

NativeDialog native_file_dialog() {
    NativeDialog found;
    EnumWindows(find_dialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

QFileDialog* qt_file_dialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QFileDialog*>(widget))
            return dialog;
    }
    return nullptr;
}

} // namespace

class ConfiguratorUnderWine : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        // The port slots run alone, once configurator_test.sh has set COM3 and COM14 up.
        if (QByteArray(QTest::currentTestFunction()).contains("com14") !=
            qEnvironmentVariableIsSet("GNC_WINE_PORTS"))
            QSKIP("another pass");
        watcher_ = std::make_unique<ModalWatcher>();
    }
    void cleanup() {
        watcher_.reset();
        override_open_dialog({});
        override_save_dialog({});
    }

    void demo_device_reads_into_the_windows_and_programs_back();
    void template_with_polish_letters_saves_and_loads();
    void device_names_are_refused_as_template_files();
    void report_through_the_save_dialog();
    void backups_in_the_windows_open_dialog();

    void ports_after_the_eight_are_listed_with_com14();
    void device_on_com14_data();
    void device_on_com14();

  private:
    QComboBox& port_box() { return *app_.main_window().ComboBox1; }
    // "Zapis szablonu na dysk" pressed in the messages window, opened from
    // the parameters window as a user does.
    void save_from_the_messages_window() {
        Forms& forms = app_.forms();
        when_in_front(*forms.form2, [&] {
            wait_until([&] { return forms.state->parameter_rules_armed == 1; });
            when_in_front(*forms.form3, [&] {
                forms.form3->SpeedButton3->click();
                forms.form3->close();
            });
            forms.form2->SpeedButton1->click();
            forms.form2->close();
        });
        app_.main_window().SpeedButton6->click();
    }

    AppWindows app_;
    std::unique_ptr<ModalWatcher> watcher_;
};

void ConfiguratorUnderWine::demo_device_reads_into_the_windows_and_programs_back() {
    const DemoRoadSeen seen = walk_the_demo_road(app_, QStringLiteral("40"), link_wait_ms);
    QVERIFY(seen.link_up);
    QCOMPARE(seen.operator_shown, QStringLiteral("PLUS"));
    QCOMPARE(seen.user2_shown, QStringLiteral("48600100300"));
    QCOMPARE(seen.text_shown, QStringLiteral("Alarm! Ruch w salonie"));
    QVERIFY(seen.programmed);
    QCOMPARE(watcher_->texts(), QStringList());
    // The device holds the demo settings with only the daily limit changed.
    const QByteArray expected = demo_memory_with_daily_limit("40");
    QVERIFY(wait_until([&] { return file_contents(argument(2)) == expected; }, 5000));
}

// Saved from the messages window, loaded through the main window's button:
// the image then holds what the windows showed when it was saved.
void ConfiguratorUnderWine::template_with_polish_letters_saves_and_loads() {
    const QString folder = argument(1) + QStringLiteral("\\Szablony żółć");
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("\\biuro Łódź ąę.sbn");
    const QByteArray expected = demo_memory_with_daily_limit("40");
    Forms& forms = app_.forms();
    override_save_dialog([&](const QString&) { return path; });
    save_from_the_messages_window();
    QCOMPARE(watcher_->texts(),
             QStringList{qs("Operacja zapisu do pliku przeprowadzona pomyślnie")});
    QCOMPARE(file_contents(path).size(), 4096);
    QCOMPARE(file_contents(path).left(2048), expected);

    watcher_->clear();
    forms.state->image_buffer.fill(0xFF);
    override_open_dialog([&](const QString&) { return path; });
    QString user2_shown;
    watcher_->on_window = [&](QWidget* window) {
        user2_shown = forms.form2->Edit9->text();
        window->close();
    };
    app_.main_window().SpeedButton7->click();
    QCOMPARE(watcher_->texts(), QStringList());
    QCOMPARE(user2_shown, QStringLiteral("48600100300"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(forms.state->image_buffer.data()), 2048),
             expected);
}

void ConfiguratorUnderWine::device_names_are_refused_as_template_files() {
    Forms& forms = app_.forms();
    const QString folder = argument(1);
    for (const QString& name : {QStringLiteral("com1.sbn"), QStringLiteral("NUL.sbn"),
                                QStringLiteral("AUX"), QStringLiteral("con.txt")}) {
        watcher_->clear();
        const ImageBuffer before = forms.state->image_buffer;
        override_open_dialog([&](const QString&) { return folder + QLatin1Char('\\') + name; });
        watcher_->on_window = [](QWidget* window) { window->close(); };
        app_.main_window().SpeedButton7->click();
        watcher_->on_window = {};
        QCOMPARE(watcher_->texts(), QStringList{qs("Odczyt pliku nie może być przeprowadzony")});
        QVERIFY2(forms.state->image_buffer == before, qPrintable(name));

        watcher_->clear();
        override_save_dialog([&](const QString&) { return folder + QLatin1Char('\\') + name; });
        save_from_the_messages_window();
        QCOMPARE(watcher_->texts(), QStringList{qs("Operacja zapisu nie powiodła się")});
    }
}

// The settings as the windows hold them after the template test loaded
// "biuro Łódź ąę.sbn"; configurator_test.sh compares the report's text with
// the Linux tool's report of that template.
void ConfiguratorUnderWine::report_through_the_save_dialog() {
    const QString path = argument(1) + QStringLiteral("\\Szablony żółć\\raport biuro");
    QStringList types;
    watcher_->on_window = [&](QWidget* window) {
        if (auto* dialog = qobject_cast<QFileDialog*>(window)) {
            types = dialog->nameFilters();
            dialog->selectNameFilter(types.value(1));
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        }
    };
    save_from_the_messages_window();
    QCOMPARE(types, (QStringList{QStringLiteral("sbn (sbn)"), qs("Raport ustawień (*.pdf)")}));
    QCOMPARE(watcher_->texts(), QStringList{qs("Raport ustawień został zapisany")});
    QVERIFY(file_contents(path + QStringLiteral(".pdf")).startsWith("%PDF-"));
}

// Windows' own open dialog, driven as a user would: its file types; the
// backups type opens it again in the backup folder, where the demo read's
// backup, named without its folder, loads.
void ConfiguratorUnderWine::backups_in_the_windows_open_dialog() {
    const std::vector<std::string> backups = list_backups(backup_folder());
    QVERIFY(!backups.empty());
    const QString backup = QString::fromStdString(backups.front());
    QStringList types;
    HWND first = nullptr;
    QByteArray loaded;
    QTimer driver; // ticks on inside the dialog's own message loop
    QObject::connect(&driver, &QTimer::timeout, [&] {
        const NativeDialog dialog = native_file_dialog();
        if (dialog.types == nullptr || dialog.name == nullptr || dialog.window == first)
            return;
        if (first == nullptr) {
            first = dialog.window;
            types = dialog.type_names;
            SendMessageW(dialog.types, CB_SETCURSEL, 2, 0); // "Kopie zapasowe"
            SendMessageW(dialog.window, WM_COMMAND,
                         MAKEWPARAM(GetDlgCtrlID(dialog.types), CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dialog.types));
            return;
        }
        driver.stop();
        const std::wstring name = QFileInfo(backup).fileName().toStdWString();
        SendMessageW(dialog.name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        PostMessageW(dialog.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    driver.start(100);
    QTimer::singleShot(30000, [] { // never hang on a dialog that was not found
        if (qt_file_dialog() != nullptr)
            qt_file_dialog()->reject();
    });
    watcher_->on_window = [&](QWidget* window) {
        if (window == app_.forms().form2) {
            loaded = QByteArray(
                reinterpret_cast<const char*>(app_.forms().state->image_buffer.data()), 4096);
            window->close();
        }
    };
    app_.main_window().SpeedButton7->click();
    QCOMPARE(types,
             (QStringList{qs("sbn (*.sbn)"), qs("Wszystkie pliki"), qs("Kopie zapasowe (*.sbn)")}));
    QCOMPARE(loaded, file_contents(backup));
}

void ConfiguratorUnderWine::ports_after_the_eight_are_listed_with_com14() {
    port_box().showPopup();
    port_box().hidePopup();
    const int com14 = port_box().findText(QStringLiteral("COM14"));
    QVERIFY(com14 > port_box().findText(QStringLiteral("COM8")));
    const QString tooltip = port_box().itemData(com14, Qt::ToolTipRole).toString();
    QVERIFY2(tooltip.startsWith("COM14") && !tooltip.contains(qs("brak")), qPrintable(tooltip));
    QCOMPARE(port_box().itemText(port_box().count() - 1), qs(all_ports_name));
}

void ConfiguratorUnderWine::device_on_com14_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("limit");
    QTest::newRow("chosen from the list") << "list"
                                          << "41";
    QTest::newRow("typed into the box") << "typed"
                                        << "42";
    QTest::newRow("Wszystkie porty") << "all"
                                     << "43";
}

void ConfiguratorUnderWine::device_on_com14() {
    QFETCH(QString, how);
    QVERIFY(demo_road_on_port(app_, how, QStringLiteral("COM14"), QStringLiteral("\\\\.\\com14"),
                              argument(2), link_wait_ms));
    QCOMPARE(watcher_->texts(), QStringList());
    if (how == "all")
        QCOMPARE(port_box().currentText(), QStringLiteral("COM14"));
}

QTEST_MAIN(ConfiguratorUnderWine)
#include "configurator_under_wine.moc"
