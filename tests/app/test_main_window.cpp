// The main window as the user meets it: start-up state, port choice and its
// tooltips, the template load with its failures, a port that cannot be
// opened, the information and exit buttons.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "app/toolkit_language.h"
#include "editors/messages_window.h"
#include "editors/parameters_window.h"
#include "image/backup_store.h"
#include "image/decoder.h"
#include "link/link_texts.h"
#include "link/serial_devices.h"
#include "link/serial_port.h"
#include "resources/resource_paths.h"
#include "tests/app/app_test_support.h"
#include "tests/link/link_fakes.h"
#include "tests/support/modal_watcher.h"
#include "windows/connect_window.h"
#include "windows/end_program.h"
#include "windows/file_dialogs.h"
#include "windows/info_windows.h"
#include "windows/link_lost_notice.h"
#include "windows/programming_window.h"
#include "windows/read_window.h"
#include "windows/screen_fit.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>
#include <memory>
#include <sys/stat.h>

using namespace gnc;
using gnc::test::later;

namespace {

const char* const start_status = "Wybierz port komputera, wyłącz i włącz urządzenie i naciśnij "
                                 "przycisk \"Nawiąż połączenie\"";

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

bool write_file(const QString& path, const ImageBuffer& image) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char*>(image.data()), image.size()) ==
               qint64(image.size());
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<test::FakePort> port;
    std::unique_ptr<AppWindows> app;
    std::unique_ptr<test::ModalWatcher> watcher;
    std::vector<QWidget*> shown; // modal windows in the order they appeared

    TForm1& main() { return app->main_window(); }
    Forms& forms() { return app->forms(); }
    bool was_shown(QWidget* window) const {
        return std::find(shown.begin(), shown.end(), window) != shown.end();
    }

    // The tooltip that a pause of the mouse at `pos` of `target` shows; a
    // marker stands in first, so a tooltip that does not appear is noticed.
    static QString tooltip_at(QWidget* target, QPoint pos) {
        QToolTip::showText(target->mapToGlobal(pos), QStringLiteral("(none)"));
        QHelpEvent pause(QEvent::ToolTip, pos, target->mapToGlobal(pos));
        QApplication::sendEvent(target, &pause);
        return QToolTip::text();
    }

    // Over the box's edit field, which passes the pause on to the box.
    QString box_tooltip() { return tooltip_at(main().ComboBox1->lineEdit(), QPoint(5, 5)); }

    // Over item `row` of the box's opened list.
    QString item_tooltip(int row) {
        main().ComboBox1->showPopup();
        QAbstractItemView* list = main().ComboBox1->view();
        const QPoint centre = list->visualRect(list->model()->index(row, 0)).center();
        const QString text = tooltip_at(list->viewport(), centre);
        main().ComboBox1->hidePopup();
        return text;
    }

  private slots:
    void init() {
        port = std::make_unique<test::FakePort>();
        app = std::make_unique<AppWindows>(port.get());
        app->show();
        // The tests drive the link ticks themselves.
        main().Timer1->stop();
        main().Timer2->stop();
        shown.clear();
        watcher = std::make_unique<test::ModalWatcher>();
        // Record each window and close it, unless a test wants it open.
        watcher->on_window = [this](QWidget* window) {
            shown.push_back(window);
            later(window, [window] { window->close(); });
        };
    }

    void cleanup() {
        watcher.reset();
        app.reset();
        port.reset();
        override_open_dialog(nullptr);
        override_end_program(nullptr);
    }

    void starts_with_an_erased_image_and_com1() {
        QCOMPARE(main().Label5->text(), utf8(start_status));
        QCOMPARE(main().ComboBox1->currentText(), QStringLiteral("COM1"));
        QCOMPARE(main().ComboBox1->count(), 9);
        QCOMPARE(main().ComboBox1->itemText(8), utf8("Wszystkie porty"));
        QCOMPARE(main().port_name, std::string("COM1"));
        ImageBuffer erased;
        erased.fill(0xFF);
        QVERIFY(main().image_buffer == erased);
        Settings expected;
        decode_parameters(erased, expected);
        odczytaj_uzytkownikow(erased, expected);
        QVERIFY(main().settings == expected); // texts are not decoded at start
        QCOMPARE(main().link.link_up, 0);
        QCOMPARE(main().Timer1->interval(), 1000);
        QCOMPARE(main().Timer2->interval(), 300);
        QCOMPARE(main().Timer3->interval(), 50);
        QVERIFY(!main().Timer3->isActive());
        for (QTimer* timer : {main().Timer1, main().Timer2, main().Timer3})
            QCOMPARE(timer->timerType(), Qt::PreciseTimer);
        QCOMPARE(main().size(), scaled(&main(), QRect(0, 0, 809, 305)).size());
        QCOMPARE(main().windowTitle(), QStringLiteral("DOMOWY SYSTEM POWIADOMIENIA SMS"));
        QVERIFY(!(main().windowFlags() & Qt::WindowMinMaxButtonsHint));
    }

    void every_status_text_fits_the_status_line() {
        for (const char* text :
             {start_status, text_connecting, text_connected_status, text_connect_failed_advice,
              text_link_broken_status,
              "Nastąpiło zerwanie komunikacji z programem.Wyłącz i włącz urządzenie, wybierz port "
              "a następnie nasiśnij przycisk \"Nawiąż połączenie\""}) {
            main().Label5->setText(utf8(text));
            QVERIFY2(main().Label5->heightForWidth(main().Label5->width()) <=
                         main().Label5->height(),
                     text);
            QVERIFY(main().Label5->geometry().bottom() < main().ComboBox1->y());
        }
    }

    void creates_every_window_once_and_shows_only_the_main_one() {
        const std::vector<QWidget*> others{forms().form2, forms().form3,  forms().form4,
                                           forms().form5, forms().form6,  forms().form7,
                                           forms().form8, forms().form10, forms().form11};
        for (QWidget* window : others) {
            QVERIFY(window != nullptr);
            QVERIFY(!window->isVisible());
        }
        QVERIFY(main().isVisible());
        QCOMPARE(forms().state, static_cast<MainState*>(&main()));
        QVERIFY(forms().controller != nullptr);
    }

    void picture_buttons_and_icon_show_the_embedded_pictures() {
        // The pictures are read by the PNG reader directly: each must come out
        // as Qt's own guessing reader reads the same file.
        const auto same_picture = [](const QIcon& icon, const char* path) {
            const QImage expected(QString::fromLatin1(path));
            const QImage drawn = icon.pixmap(expected.size()).toImage();
            return !expected.isNull() && drawn.convertToFormat(QImage::Format_ARGB32) ==
                                             expected.convertToFormat(QImage::Format_ARGB32);
        };
        const std::pair<QToolButton*, const char*> buttons[] = {
            {main().SpeedButton1, pictures::connect},
            {main().SpeedButton5, pictures::read},
            {main().SpeedButton6, pictures::parameters},
            {main().SpeedButton7, pictures::template_open},
            {main().SpeedButton2, pictures::exit},
            {main().SpeedButton3, pictures::cable},
            {main().SpeedButton8, pictures::mounting},
            {main().SpeedButton4, pictures::about},
            {forms().form3->SpeedButton1, pictures::factory_texts}, // read when first drawn
            {forms().form3->SpeedButton3, pictures::save_disk},
        };
        for (const auto& [button, path] : buttons)
            QVERIFY2(same_picture(button->icon(), path), path);
        // Every size is drawn from its own file.
        const QString exit_picture = QString::fromLatin1(pictures::exit);
        for (const int size : pictures::button_picture_sizes) {
            const QString path = pictures::sized_picture(exit_picture, size);
            QVERIFY2(same_picture(main().SpeedButton2->icon(), qPrintable(path)), qPrintable(path));
        }
        const QIcon icon = main().windowIcon();
        QCOMPARE(icon.availableSizes().size(), std::size(pictures::window_icon_sizes) + 1);
        QVERIFY(same_picture(icon, pictures::window_icon));
        for (const int size : pictures::window_icon_sizes) {
            const QString path =
                pictures::sized_picture(QString::fromLatin1(pictures::window_icon), size);
            QVERIFY2(same_picture(icon, qPrintable(path)), qPrintable(path));
        }
    }

    void hidden_windows_size_their_texts_only_when_first_shown() {
        // Measuring texts at start-up would load the fonts of windows the user
        // may never open; once a window shows, everything fits as laid out.
        auto* title = forms().form2->findChild<QLabel*>(QStringLiteral("Label6"));
        QVERIFY(title != nullptr);
        QVERIFY(title->size() != title->sizeHint());
        QSize title_size;
        QSize input_box_size;
        watcher->on_window = [&](QWidget* window) {
            shown.push_back(window);
            title_size = title->size();
            input_box_size = forms().form2->CheckBox21->size();
            later(window, [window] { window->close(); });
        };
        main().SpeedButton6->click();
        QCOMPARE(shown, std::vector<QWidget*>{forms().form2});
        QCOMPARE(title_size, title->sizeHint());
        QCOMPARE(title->pos(), scaled(title, QPoint(192, 0)));
        // a fixed size, not its caption's
        QCOMPARE(input_box_size, scaled(title, QRect(8, 32, 17, 17)).size());
    }

    void parameters_window_opened_at_once_shows_the_erased_defaults() {
        QString user1 = QStringLiteral("unset");
        watcher->on_window = [&](QWidget* window) {
            shown.push_back(window);
            if (window == forms().form2)
                user1 = forms().form2->Edit8->text();
            later(window, [window] { window->close(); });
        };
        main().SpeedButton6->click();
        QCOMPARE(shown, std::vector<QWidget*>{forms().form2});
        QCOMPARE(user1, QString());
    }

    void parameters_window_arms_its_rules_once_settled() {
        bool armed = false;
        watcher->on_window = [&](QWidget* window) {
            shown.push_back(window);
            later(window, [&, window] {
                armed = test::wait_until([&] { return main().parameter_rules_armed == 1; }, 3000);
                window->close();
            });
        };
        main().SpeedButton6->click();
        QVERIFY(armed); // Timer3 ran the settle ticks while the window was open
        QVERIFY(!main().Timer3->isActive());
    }

    void chosen_port_is_opened_at_the_next_connect() {
        main().ComboBox1->setCurrentIndex(4);
        QCOMPARE(main().port_name, std::string("COM5"));
        const QString com5_tooltip = port_tooltip("COM5", port_sources_now());
        QVERIFY(com5_tooltip.startsWith(device_for_port_name("COM5")));
        QCOMPARE(main().ComboBox1->itemData(4, Qt::ToolTipRole).toString(), com5_tooltip);
        QCOMPARE(main().ComboBox1->toolTip(), com5_tooltip);

        main().SpeedButton1->click(); // the connect window opens; the watcher closes it
        QCOMPARE(port->opened, std::vector<std::string>{"COM5"});
        QCOMPARE(shown, std::vector<QWidget*>{forms().form6});

        // Choosing while the port is open changes nothing until the next connect.
        main().ComboBox1->setCurrentIndex(1);
        QCOMPARE(main().port_name, std::string("COM2"));
        QCOMPARE(port->opened.size(), size_t(1));
        QTest::qWait(20); // lets the watcher see that the first showing ended
        main().SpeedButton1->click();
        QCOMPARE(port->opened.back(), std::string("COM2"));
    }

    // Every item's tooltip is renewed at each choice: a device that is gone
    // says so, one that is there shows its path.
    void port_tooltips_follow_the_devices() {
        QTemporaryDir folder;
        const QString present = folder.filePath("adapter");
        QVERIFY(QFile(present).open(QIODevice::WriteOnly));
        qputenv("GSM_NOTIFIER_COM6", "/nonexistent/ttyUSB6");
        qputenv("GSM_NOTIFIER_COM7", present.toLocal8Bit());
        main().ComboBox1->setCurrentIndex(5);
        qunsetenv("GSM_NOTIFIER_COM6");
        qunsetenv("GSM_NOTIFIER_COM7");
        QCOMPARE(main().ComboBox1->toolTip(), utf8("/nonexistent/ttyUSB6 (brak urządzenia)"));
        QCOMPARE(main().ComboBox1->itemData(6, Qt::ToolTipRole).toString(), present);
    }

    // Nothing is looked up before the window shows; each tooltip is looked
    // up as it is about to appear, so an adapter plugged in while the
    // program runs is in the very next one, over the box and in its list.
    void port_tooltips_show_an_adapter_plugged_in_later() {
        QVERIFY(main().ComboBox1->toolTip().isEmpty());
        QTemporaryDir folder;
        const QString adapter = folder.filePath(QStringLiteral("ttyUSB0"));
        const QString missing = adapter + utf8(" (brak urządzenia)");
        qputenv("GSM_NOTIFIER_COM1", adapter.toLocal8Bit());
        qputenv("GSM_NOTIFIER_COM7", adapter.toLocal8Bit());
        const auto restore = qScopeGuard([] {
            qunsetenv("GSM_NOTIFIER_COM1");
            qunsetenv("GSM_NOTIFIER_COM7");
            QToolTip::hideText();
        });
        QCOMPARE(box_tooltip(), missing);
        QCOMPARE(item_tooltip(6), missing);
        QVERIFY(QFile(adapter).open(QIODevice::WriteOnly)); // the adapter shows up
        QCOMPARE(box_tooltip(), adapter);
        QCOMPARE(item_tooltip(6), adapter);
        QVERIFY(QFile::remove(adapter));
        QCOMPARE(item_tooltip(6), missing);
        QCOMPARE(main().port_name, std::string("COM1")); // looking chose nothing
    }

    // Enter makes a typed name the port, or chooses the item it names.
    void typed_port_name_confirmed_becomes_the_port() {
        main().ComboBox1->setCurrentIndex(2);
        main().ComboBox1->setEditText(QStringLiteral(" com9"));
        QTest::keyClick(main().ComboBox1->lineEdit(), Qt::Key_Return);
        QCOMPARE(main().port_name, std::string("COM9"));
        main().ComboBox1->setEditText(QStringLiteral("com3"));
        QTest::keyClick(main().ComboBox1->lineEdit(), Qt::Key_Return);
        QCOMPARE(main().ComboBox1->currentIndex(), 2);
        QCOMPARE(main().port_name, std::string("COM3"));
    }

    void port_that_cannot_be_opened_starts_no_attempt() {
        port->open_result = false;
        main().SpeedButton1->click();
        QCOMPARE(watcher->texts(),
                 QStringList{utf8("Niewłaściwa nazwa lub jest aktywny port COM1")});
        QCOMPARE(watcher->boxes()[0].icon, QMessageBox::Critical);
        QVERIFY(shown.empty()); // no connect window
        QCOMPARE(main().link.connecting_on, 0);
    }

    void template_load_shows_the_loaded_values() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("saved.sbn"));
        ImageBuffer image = test::image_with_user_number("600100200");
        image[4000] = 0x1A; // the second half travels with the file
        QVERIFY(write_file(path, image));
        QString filter_asked;
        override_open_dialog([&](const QString& filter) {
            filter_asked = filter;
            return path;
        });
        QString user1;
        bool image_loaded = false;
        watcher->on_window = [&](QWidget* window) {
            shown.push_back(window);
            user1 = forms().form2->Edit8->text();
            image_loaded = main().image_buffer == image;
            later(window, [window] { window->close(); });
        };
        main().SpeedButton7->click();
        QCOMPARE(filter_asked, utf8("sbn|*.sbn|Wszystkie pliki|*|Kopie zapasowe|*.sbn"));
        QCOMPARE(shown, std::vector<QWidget*>{forms().form2});
        QCOMPARE(user1, QStringLiteral("600100200"));
        QVERIFY(image_loaded);
        QCOMPARE(main().settings.user_number_1, std::string("600100200"));
        QVERIFY(watcher->texts().isEmpty());
        QCOMPARE(main().link.link_up, 0); // no link needed, none touched
    }

    void template_load_stops_a_programming_still_sending_pages() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("other.sbn"));
        QVERIFY(write_file(path, test::image_with_user_number("700800900")));
        override_open_dialog([&](const QString&) { return path; });
        main().link.link_up = 1;
        main().link.programming_on = 1;
        main().link.program_watch_on = 1;
        main().link.page_index = 2;
        const QString label = forms().form5->Label1->text();
        main().SpeedButton7->click();
        QCOMPARE(main().link.programming_on, 0);
        const auto frames_before = port->sent.size();
        main().Timer1Timer();
        QCOMPARE(port->sent.size(), frames_before); // no write frame of the new image
        QCOMPARE(main().link.link_up, 1);
        // Nor does its watch time out later in the hidden programming window.
        for (int tick = 0; tick < 60; ++tick)
            main().Timer2Timer();
        QCOMPARE(forms().form5->Label1->text(), label);
        QCOMPARE(forms().form5->ProgressBar1->value(), 0);
    }

    // A read whose window was closed early goes on in the background; a
    // template loaded meanwhile ends it, so no later reply lands in the
    // template's pages and nothing decodes them again.
    void template_load_ends_a_read_under_way() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("loaded.sbn"));
        const ImageBuffer image = test::image_with_user_number("700800900");
        QVERIFY(write_file(path, image));
        override_open_dialog([&](const QString&) { return path; });
        main().link.link_up = 1;
        main().SpeedButton5->click(); // the read window opens; the watcher closes it
        main().Timer1Timer();         // asks for page 0
        QCOMPARE(main().link.read_request, 1);

        main().SpeedButton7->click();
        const ImageBuffer loaded = main().image_buffer;
        port->sent.clear();
        for (std::uint8_t page = 0; page < 4; ++page) {
            const test::Bytes data = test::page_pattern(page);
            port->arrive(test::page_reply(page, data.data()));
            main().Timer1Timer();
        }
        for (int tick = 0; tick < 60; ++tick)
            main().Timer2Timer();
        QVERIFY(main().image_buffer == loaded);
        QCOMPARE(main().settings.user_number_1, std::string("700800900"));
        QVERIFY(port->sent.empty()); // no further read request
        QCOMPARE(main().link.read_failed, 0);
        QCOMPARE(main().link.link_up, 1);
    }

    void unreadable_template_is_reported_and_changes_nothing() {
        QTemporaryDir folder;
        const QString fifo = folder.filePath(QStringLiteral("x.sbn"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        for (const QString& path : {folder.filePath(QStringLiteral("missing.sbn")), folder.path(),
                                    fifo, QStringLiteral("/dev/zero")}) {
            watcher->clear();
            override_open_dialog([&](const QString&) { return path; });
            const Settings before = main().settings;
            main().SpeedButton7->click();
            QCOMPARE(watcher->texts(),
                     QStringList{utf8("Odczyt pliku nie może być przeprowadzony")});
            QCOMPARE(watcher->boxes()[0].icon, QMessageBox::Critical);
            QVERIFY(shown.empty());
            QVERIFY(main().settings == before);
            QCOMPARE(main().image_buffer[0], std::uint8_t(0xFF));
        }
    }

    void cancelled_template_dialog_does_nothing() {
        override_open_dialog([](const QString&) { return QString(); });
        main().SpeedButton7->click();
        QVERIFY(shown.empty());
        QVERIFY(watcher->texts().isEmpty());
    }

    // The real open dialog: templates, then any file, then the backups, a
    // type that opens the dialog again in the backup folder; a backup chosen
    // there loads as any template does, and the report names it.
    void backups_are_a_file_type_of_the_open_dialog() {
        QTemporaryDir home;
        const QByteArray data_home = qgetenv("XDG_DATA_HOME");
        const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", data_home); });
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
        const ImageBuffer image = test::image_with_user_number("600100201");
        const BackupResult backup = save_backup(image);
        QVERIFY(backup.saved);
        QStringList types;
        QString folder_shown;
        bool image_loaded = false;
        watcher->on_window = [&](QWidget* window) {
            shown.push_back(window);
            auto* dialog = qobject_cast<QFileDialog*>(window);
            if (dialog == nullptr) {
                image_loaded = main().image_buffer == image;
                later(window, [window] { window->close(); });
                return;
            }
            types = dialog->nameFilters();
            QTest::keyClick(dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")),
                            Qt::Key_End);
            later([&] { // shown again in the backup folder
                auto* again = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                folder_shown = again->directory().absolutePath();
                again->selectFile(QFileInfo(QString::fromStdString(backup.path)).fileName());
                static_cast<QDialog*>(again)->accept();
            });
        };
        main().SpeedButton7->click();
        QCOMPARE(types, (QStringList{QStringLiteral("sbn (*.sbn)"), utf8("Wszystkie pliki (*)"),
                                     utf8("Kopie zapasowe (*.sbn)")}));
        QCOMPARE(folder_shown, QDir(QString::fromStdString(backup_folder())).absolutePath());
        QCOMPARE(shown.back(), forms().form2);
        QVERIFY(image_loaded);
        QVERIFY(main().settings_origin.find(".sbn") != std::string::npos); // named in the report
    }

    void information_buttons_open_their_windows() {
        main().SpeedButton3->click();
        main().SpeedButton8->click();
        main().SpeedButton4->click();
        QCOMPARE(shown, (std::vector<QWidget*>{forms().form7, forms().form8, forms().form10}));
    }

    void exit_button_ends_the_program() {
        int ended = 0;
        override_end_program([&] { ++ended; });
        main().SpeedButton2->click();
        QCOMPARE(ended, 1);
        QCOMPARE(main().SpeedButton2->size(), scaled(&main(), QRect(32, 256, 41, 33)).size());
    }

    // The template dialogs speak Polish like every other window. Last: the
    // translation stays installed for the rest of this program.
    void file_dialog_texts_are_polish() {
        QVERIFY(install_polish_toolkit_texts(*QCoreApplication::instance()));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        const auto* look_in = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
        QVERIFY(look_in != nullptr);
        QVERIFY2(look_in->text() != QStringLiteral("Look in:"), qPrintable(look_in->text()));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
