// The windows the link controller drives, wired as in the program: the read
// window's OK after a completed and a failed read, and the link-lost notice,
// which closes the windows under it and must not stop the Timer2 ticks.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "editors/messages_window.h"
#include "editors/parameters_window.h"
#include "link/link_controller.h"
#include "tests/app/app_test_support.h"
#include "tests/link/link_fakes.h"
#include "tests/support/modal_watcher.h"
#include "windows/connect_window.h"
#include "windows/info_windows.h"
#include "windows/link_lost_notice.h"
#include "windows/programming_window.h"
#include "windows/read_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace gnc;
using gnc::test::later;

namespace {

const char* const link_lost_status =
    "Nastąpiło zerwanie komunikacji z programem.Wyłącz i włącz urządzenie, wybierz port a "
    "następnie nasiśnij przycisk \"Nawiąż połączenie\"";
const char* const read_failed_text =
    "Błąd!  Wybierz port komputera wyłącz i włącz urządzenie a następnie wcisnij przycisk "
    "\"Nawiąż połączenie\".";

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

class TestLinkWindows : public QObject {
    Q_OBJECT
    std::unique_ptr<test::FakePort> port;
    std::unique_ptr<test::FakeDevice> device;
    std::unique_ptr<AppWindows> app;
    std::unique_ptr<test::ModalWatcher> watcher;
    std::vector<QWidget*> shown;
    // What each test does when a window appears (run after the watcher's
    // poll returned, so the action may open further modal windows).
    std::map<QWidget*, std::function<void()>> when_shown;

    TForm1& main() { return app->main_window(); }
    Forms& forms() { return app->forms(); }
    bool was_shown(QWidget* window) const {
        return std::find(shown.begin(), shown.end(), window) != shown.end();
    }
    void arm_watchdog_to_fire() {
        main().link.watchdog_armed = 1;
        main().link.watchdog_ticks = 80;
    }
    std::vector<QWidget*> open_windows() {
        std::vector<QWidget*> open;
        for (QWidget* w : std::initializer_list<QWidget*>{
                 forms().form2, forms().form3, forms().form4, forms().form5, forms().form6,
                 forms().form7, forms().form8, forms().form10, forms().form11})
            if (w->isVisible())
                open.push_back(w);
        return open;
    }

  private slots:
    void init() {
        port = std::make_unique<test::FakePort>();
        device = std::make_unique<test::FakeDevice>(*port);
        app = std::make_unique<AppWindows>(port.get());
        app->show();
        port->open("COM1"); // as a connect action left it
        main().Timer1->stop();
        main().Timer2->stop();
        shown.clear();
        when_shown.clear();
        watcher = std::make_unique<test::ModalWatcher>();
        watcher->on_window = [this](QWidget* window) {
            shown.push_back(window);
            if (auto action = when_shown.find(window); action != when_shown.end())
                later(window, action->second);
        };
    }

    void cleanup() {
        watcher.reset();
        app.reset();
        device.reset();
        port.reset();
    }

    void read_ok_opens_the_parameters_window_with_the_values_read() {
        const ImageBuffer image = test::image_with_user_number("48601234567");
        std::copy_n(image.begin(), device->memory.size(), device->memory.begin());
        main().link.link_up = 1;
        const QString status_before = main().Label5->text();
        QString label_after_read;
        int bar_after_read = -1;
        QString user1;
        when_shown[forms().form4] = [&] {
            for (int tick = 0; tick < 5; ++tick) // one request and one reply per tick
                main().Timer1Timer();
            label_after_read = forms().form4->Label1->text();
            bar_after_read = forms().form4->ProgressBar1->value();
            forms().form4->Button1->click();
        };
        when_shown[forms().form2] = [&] {
            user1 = forms().form2->Edit8->text();
            forms().form2->close();
        };
        test::SafetyNet net(forms(), 10000);
        main().SpeedButton5->click();
        QVERIFY(!net.fired());
        QCOMPARE(label_after_read, utf8("Ustawienia zostały pobrane"));
        QCOMPARE(bar_after_read, 100);
        QCOMPARE(shown, (std::vector<QWidget*>{forms().form4, forms().form2}));
        QCOMPARE(user1, QStringLiteral("48601234567"));
        QCOMPARE(main().Label5->text(), status_before); // a good read leaves the status line
        QVERIFY(open_windows().empty());
    }

    void read_ok_after_a_time_out_leaves_the_link_down() {
        device->requests_to_ignore[0] = 1000;
        main().link.link_up = 1;
        QString label_after_time_out;
        when_shown[forms().form4] = [&] {
            main().Timer1Timer();
            for (int tick = 0; tick < 51; ++tick)
                main().Timer2Timer();
            label_after_time_out = forms().form4->Label1->text();
            forms().form4->Button1->click();
        };
        test::SafetyNet net(forms(), 10000);
        main().SpeedButton5->click();
        QVERIFY(!net.fired());
        QCOMPARE(label_after_time_out, utf8(read_failed_text));
        QCOMPARE(shown, std::vector<QWidget*>{forms().form4}); // no parameters window
        QCOMPARE(main().link.read_failed, 1);
        QCOMPARE(main().link.link_up, 0);
        QVERIFY(open_windows().empty());
    }

    void link_lost_notice_closes_every_window_under_it() {
        main().link.link_up = 1;
        when_shown[forms().form2] = [&] { forms().form2->SpeedButton1->click(); };
        when_shown[forms().form3] = [&] { forms().controller->start_programming(); };
        when_shown[forms().form5] = [&] {
            arm_watchdog_to_fire();
            main().Timer2Timer();
        };
        when_shown[forms().form11] = [&] { forms().form11->Button1->click(); };
        test::SafetyNet net(forms(), 10000);
        main().SpeedButton6->click();
        QVERIFY(!net.fired());
        QCOMPARE(shown, (std::vector<QWidget*>{forms().form2, forms().form3, forms().form5,
                                               forms().form11}));
        QVERIFY(open_windows().empty());
        QVERIFY(main().isVisible());
        QCOMPARE(main().link.link_up, 0);
        QCOMPARE(main().Label5->text(), utf8(link_lost_status));
    }

    void link_lost_notice_closes_the_cable_window_but_not_the_others() {
        std::vector<QWidget*> left_open_by_notice;
        for (QToolButton* button :
             {main().SpeedButton3, main().SpeedButton8, main().SpeedButton4}) {
            for (QWidget* info :
                 std::vector<QWidget*>{forms().form7, forms().form8, forms().form10})
                when_shown[info] = [&, info] {
                    arm_watchdog_to_fire();
                    main().Timer2Timer(); // returns once the notice was dismissed
                    if (info->isVisible())
                        left_open_by_notice.push_back(info);
                    info->close();
                };
            when_shown[forms().form11] = [&] { forms().form11->Button1->click(); };
            test::SafetyNet net(forms(), 10000);
            button->click();
            QVERIFY(!net.fired());
        }
        QCOMPARE(left_open_by_notice, (std::vector<QWidget*>{forms().form8, forms().form10}));
        QCOMPARE(main().Label5->text(), utf8(link_lost_status));
    }

    void timer2_keeps_ticking_while_the_notice_is_open() {
        // Real timers at a short interval: the notice is shown from inside
        // Timer2's own slot, which Qt does not enter again until it returns.
        main().Timer2->setInterval(10);
        arm_watchdog_to_fire();
        main().link.connecting_on = 1; // each tick counts connect_ticks
        int ticks_at_show = -1;
        int ticks_at_ok = -1;
        when_shown[forms().form11] = [&] {
            ticks_at_show = main().link.connect_ticks;
            later(
                forms().form11,
                [&] {
                    ticks_at_ok = main().link.connect_ticks;
                    forms().form11->Button1->click();
                },
                300);
        };
        test::SafetyNet net(forms(), 10000);
        main().Timer2->start();
        QVERIFY(test::wait_until([&] { return ticks_at_ok >= 0; }, 8000));
        QVERIFY(!net.fired());
        QVERIFY2(ticks_at_ok > ticks_at_show + 3,
                 qPrintable(QStringLiteral("%1 -> %2").arg(ticks_at_show).arg(ticks_at_ok)));
        // After the notice the real timer carries on alone.
        const int after = main().link.connect_ticks;
        QVERIFY(test::wait_until([&] { return main().link.connect_ticks > after + 2; }, 3000));
        main().Timer2->stop();
    }
};

QTEST_MAIN(TestLinkWindows)
#include "test_link_windows.moc"
