// The configurator's real windows under Wine, with the Windows serial port
// against the simulated device (COM1 of the Wine prefix links to its
// pseudo-terminal; configurator_test.sh arranges it and checks the device's
// memory afterwards):
// - the demo device is connected, read into the windows and programmed back
//   with one value changed, without a single message box;
// - a template saved under a name with Polish letters and spaces loads back;
// - file names that Windows gives to devices are refused for loading and
//   saving, with the program's own messages.
// Environment (Qt Test takes arguments for test names):
//   GNC_WINE_WORK    a Windows path, the folder templates are written to
//   GNC_WINE_MEMORY  the simulator's --save file, as a Windows path
// The port slots run in a second pass, with COM3 linked to a silent device
// and COM14 to the demo device (configurator_test.sh):
// - COM14 is listed after COM8; the device is read and programmed on it
//   chosen from the list, typed into the box, and through "Wszystkie porty";
// - a device that hangs up in the middle of a read ends the read with its
//   failure texts and releases the port.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "editors/messages_window.h"
#include "link/link_texts.h"
#include "link/port_choices.h"
#include "link/searching_port.h"
#include "editors/parameters_window.h"
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

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

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

} // namespace

class ConfiguratorUnderWine : public QObject {
    Q_OBJECT

  private slots:
    void init() { watcher_ = std::make_unique<ModalWatcher>(); }
    void cleanup() {
        watcher_.reset();
        override_open_dialog({});
        override_save_dialog({});
    }

    void demo_device_reads_into_the_windows_and_programs_back();
    void template_with_polish_letters_saves_and_loads();
    void device_names_are_refused_as_template_files();
    void ports_after_the_eight_are_listed();
    void device_on_com14_data();
    void device_on_com14();
    void device_pulled_out_mid_read();

  private:
    QComboBox& port_box() { return *app_.main_window().ComboBox1; }
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
    when_in_front(*forms.form2, [&] {
        wait_until([&] { return forms.state->parameter_rules_armed == 1; });
        when_in_front(*forms.form3, [&] {
            forms.form3->SpeedButton3->click(); // "Zapis szablonu na dysk"
            forms.form3->close();
        });
        forms.form2->SpeedButton1->click();
        forms.form2->close();
    });
    app_.main_window().SpeedButton6->click();
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
        QCOMPARE(watcher_->texts(), QStringList{qs("Operacja zapisu nie powiodła się")});
    }
}

void ConfiguratorUnderWine::ports_after_the_eight_are_listed() {
    port_box().showPopup();
    port_box().hidePopup();
    const int com14 = port_box().findText(QStringLiteral("COM14"));
    QVERIFY(com14 > port_box().findText(QStringLiteral("COM8")));
    QVERIFY(port_box().findText(QStringLiteral("COM3")) < 8);
    const QString tooltip = port_box().itemData(com14, Qt::ToolTipRole).toString();
    QVERIFY2(tooltip.startsWith(QStringLiteral("COM14")) && !tooltip.contains(qs("brak")),
             qPrintable(tooltip));
    QCOMPARE(port_box().itemText(port_box().count() - 1), qs(all_ports_name));
    QCOMPARE(port_box().itemData(port_box().count() - 1, Qt::ToolTipRole).toString(),
             qs(all_ports_tooltip));
}

void ConfiguratorUnderWine::device_on_com14_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("limit");
    QTest::newRow("chosen from the list") << "list" << "41";
    QTest::newRow("typed into the box") << "typed" << "42";
    QTest::newRow("Wszystkie porty") << "all" << "43";
}

void ConfiguratorUnderWine::device_on_com14() {
    QFETCH(QString, how);
    QFETCH(QString, limit);
    port_box().showPopup();
    port_box().hidePopup();
    port_box().setCurrentIndex(0);
    if (how == "list") {
        port_box().setCurrentIndex(port_box().findText(QStringLiteral("COM14")));
    } else if (how == "all") {
        port_box().setCurrentIndex(port_box().count() - 1);
    } else {
        port_box().lineEdit()->setText(QStringLiteral("\\\\.\\com14"));
        QTest::keyClick(port_box().lineEdit(), Qt::Key_Return);
    }
    const DemoRoadSeen seen = walk_the_demo_road(app_, limit, link_wait_ms);
    QVERIFY(seen.link_up);
    QVERIFY(seen.programmed);
    QCOMPARE(watcher_->texts(), QStringList());
    const QByteArray expected = demo_memory_with_daily_limit(limit.toStdString());
    QVERIFY(wait_until([&] { return file_contents(argument(2)) == expected; }, 5000));
    if (how == "all")
        QCOMPARE(port_box().currentText(), QStringLiteral("COM14"));
}

// The demo device on COM14 hangs up after the connect answer and two read
// requests (configurator_test.sh starts it so for this slot alone).
void ConfiguratorUnderWine::device_pulled_out_mid_read() {
    Forms& forms = app_.forms();
    port_box().setEditText(QStringLiteral("COM14"));
    QTest::keyClick(port_box().lineEdit(), Qt::Key_Return);
    QTimer::singleShot(link_wait_ms, forms.form6, [&] { forms.form6->close(); });
    app_.main_window().SpeedButton1->click();
    QCOMPARE(forms.state->link.link_up, std::uint8_t{1});
    QString read_text;
    when_in_front(*forms.form4, [&] {
        wait_until([&] { return forms.state->link.read_watch_on == 0; }, link_wait_ms);
        read_text = forms.form4->Label1->text();
        forms.form4->Button1->click();
    });
    app_.main_window().SpeedButton5->click();
    QCOMPARE(read_text, qs(text_read_failed));
    QCOMPARE(app_.main_window().Label5->text(), qs(text_link_broken_status));
    QVERIFY(!dynamic_cast<SearchingPort&>(app_.port()).is_open());
}

QTEST_MAIN(ConfiguratorUnderWine)
#include "configurator_under_wine.moc"
