// The modal helper decides the order of FormActivate/FormDeactivate that the
// editor windows' store-and-refill behaviour depends on.

#include "tests/support/modal_watcher.h"
#include "windows/file_dialogs.h"
#include "windows/modal.h"
#include "windows/window_base.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

using namespace gnc;

namespace {

std::vector<std::string> journal;

class Recorder : public FormEvents {
  public:
    explicit Recorder(std::string name) : name_(std::move(name)) {}
    void FormActivate() override { journal.push_back(name_ + ".activate"); }
    void FormDeactivate() override { journal.push_back(name_ + ".deactivate"); }

  private:
    std::string name_;
};

class Form : public TForm {
  public:
    explicit Form(std::string name) : name_(std::move(name)) {}
    std::function<void()> on_activate;
    void FormActivate() override {
        journal.push_back(name_ + ".activate");
        if (on_activate) {
            auto once = std::move(on_activate);
            on_activate = nullptr;
            once();
        }
    }
    void FormDeactivate() override { journal.push_back(name_ + ".deactivate"); }

  private:
    std::string name_;
};

} // namespace

class TestModal : public QObject {
    Q_OBJECT
    QWidget main_widget;
    Recorder main_events{"main"};

  private slots:
    void init() {
        journal.clear();
        main_widget.show();
        set_main_form(&main_widget, &main_events);
    }

    void box_inside_a_form_stores_and_refills_it() {
        Form form("A");
        test::ModalWatcher watcher;
        form.on_activate = [&] {
            show_error_box(QStringLiteral("bad value"));
            form.close();
        };
        show_modal(form);
        const std::vector<std::string> expected{"main.deactivate", "A.activate",   "A.deactivate",
                                                "A.activate",      "A.deactivate", "main.activate"};
        QCOMPARE(journal, expected);
        QCOMPARE(watcher.boxes().size(), size_t(1));
        QCOMPARE(watcher.boxes()[0].icon, QMessageBox::Critical);
        QCOMPARE(watcher.boxes()[0].title, QStringLiteral("Error"));
    }

    void plain_box_has_no_icon_and_the_application_title() {
        test::ModalWatcher watcher;
        show_plain_box(QStringLiteral("saved"));
        QCOMPARE(watcher.boxes().size(), size_t(1));
        QCOMPARE(watcher.boxes()[0].icon, QMessageBox::NoIcon);
        QCOMPARE(watcher.boxes()[0].title, QStringLiteral("DOMOWY SYSTEM POWIADOMIENIA SMS"));
        const std::vector<std::string> expected{"main.deactivate", "main.activate"};
        QCOMPARE(journal, expected);
    }

    void closing_a_stack_from_the_top_reactivates_only_the_main_window() {
        Form lower("A"), upper("B"), notice("N");
        lower.on_activate = [&] { show_modal(upper); };
        upper.on_activate = [&] { show_modal(notice); };
        notice.on_activate = [&] {
            notice.close();
            upper.close();
            lower.close();
        };
        show_modal(lower);
        const std::vector<std::string> expected{
            "main.deactivate", "A.activate",   "A.deactivate", "B.activate",   "B.deactivate",
            "N.activate",      "N.deactivate", "B.deactivate", "A.deactivate", "main.activate"};
        QCOMPARE(journal, expected);
        QVERIFY(!lower.isVisible() && !upper.isVisible() && !notice.isVisible());
    }

    void file_dialogs_cover_the_window_in_front_like_a_box() {
        Form form("A");
        QStringList filters;
        override_open_dialog([&](const QString& filter) {
            journal.push_back("open dialog");
            filters << filter;
            return QStringLiteral("chosen.sbn");
        });
        override_save_dialog([&](const QString& filter) {
            journal.push_back("save dialog");
            filters << filter;
            return QString();
        });
        QString opened = QStringLiteral("unset");
        QString saved = QStringLiteral("unset");
        form.on_activate = [&] {
            opened = ask_open_file_name(QStringLiteral("sbn|*.sbn"));
            saved = ask_save_file_name(QStringLiteral("sbn|sbn")).name;
            form.close();
        };
        show_modal(form);
        override_open_dialog(nullptr);
        override_save_dialog(nullptr);
        QCOMPARE(opened, QStringLiteral("chosen.sbn"));
        QVERIFY(saved.isEmpty());
        QCOMPARE(filters, (QStringList{QStringLiteral("sbn|*.sbn"), QStringLiteral("sbn|sbn")}));
        const std::vector<std::string> expected{
            "main.deactivate", "A.activate",  "A.deactivate", "open dialog",  "A.activate",
            "A.deactivate",    "save dialog", "A.activate",   "A.deactivate", "main.activate"};
        QCOMPARE(journal, expected);
    }

    void showing_an_open_window_again_does_nothing() {
        Form form("A");
        int second_result = -1;
        form.on_activate = [&] {
            second_result = show_modal(form);
            form.close();
        };
        show_modal(form);
        QCOMPARE(second_result, int(QDialog::Rejected));
        QCOMPARE(std::count(journal.begin(), journal.end(), std::string("A.activate")), 1);
    }

    void timers_tick_while_a_modal_window_is_open() {
        Form form("A");
        int ticks = 0;
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (++ticks == 5)
                form.close();
        });
        timer.start();
        show_modal(form);
        QCOMPARE(ticks, 5);
    }
};

QTEST_MAIN(TestModal)
#include "test_modal.moc"
