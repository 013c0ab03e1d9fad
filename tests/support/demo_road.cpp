#include "tests/support/demo_road.h"

#include "app/main_window.h"
#include "editors/messages_window.h"
#include "editors/parameters_window.h"
#include "tests/editors/messages_fixture.h"
#include "tests/support/modal_watcher.h"
#include "tools/demo/demo_settings.h"
#include "windows/connect_window.h"
#include "windows/programming_window.h"
#include "windows/radio_group.h"
#include "windows/read_window.h"
#include "windows/text.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace gnc::test {

DemoRoadSeen walk_the_demo_road(AppWindows& app, const QString& daily_limit, int link_wait_ms) {
    DemoRoadSeen seen;
    app.show();
    Forms& forms = app.forms();
    TForm2& form2 = *forms.form2;
    TForm3& form3 = *forms.form3;

    QTimer::singleShot(link_wait_ms, forms.form6, [&] { forms.form6->close(); });
    app.main_window().SpeedButton1->click();
    seen.link_up = forms.state->link.link_up == 1;
    if (!seen.link_up)
        return seen;

    when_in_front(*forms.form4, [&] {
        wait_until([&] { return forms.form4->Label1->text() == qs("Ustawienia zostały pobrane"); },
                   link_wait_ms);
        when_in_front(form2, [&] {
            wait_until([&] { return forms.state->parameter_rules_armed == 1; });
            seen.operator_shown = form2.radiogroup6->item(form2.radiogroup6->ItemIndex())->text();
            seen.seconds_shown = form2.Edit5->text();
            seen.user2_shown = form2.Edit9->text();
            form2.Edit1->setText(daily_limit);
            when_in_front(form3, [&] {
                seen.text_shown = form3.Edit4->text();
                when_in_front(*forms.form5, [&] {
                    seen.programmed = wait_until(
                        [&] {
                            return forms.form5->Label1->text() ==
                                   qs("Programowanie urządzenia zakończono pomyślnie");
                        },
                        link_wait_ms);
                    forms.form5->Button1->click();
                });
                form3.SpeedButton4->click(); // "Zapis ustawień do urządzenia"
                form3.close();
            });
            form2.SpeedButton1->click();
            form2.close();
        });
        forms.form4->Button1->click();
    });
    app.main_window().SpeedButton5->click();
    return seen;
}

bool demo_road_on_port(AppWindows& app, const QString& how, const QString& item,
                       const QString& typed, const QString& memory_file, int link_wait_ms) {
    QComboBox& box = *app.main_window().ComboBox1;
    box.showPopup();
    box.hidePopup();
    box.setCurrentIndex(0);
    if (how == QStringLiteral("typed")) {
        box.lineEdit()->setText(typed);
        QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    } else {
        box.setCurrentIndex(how == QStringLiteral("all") ? box.count() - 1 : box.findText(item));
    }
    const std::string limit = std::to_string(40 + how.size()); // each row its own
    const DemoRoadSeen seen = walk_the_demo_road(app, QString::fromStdString(limit), link_wait_ms);
    const QByteArray expected = demo_memory_with_daily_limit(limit);
    QFile memory(memory_file);
    return seen.link_up && seen.programmed && wait_until([&] {
               return memory.open(QIODevice::ReadOnly) && memory.readAll() == expected;
           });
}

void add_port_choice_rows() {
    QTest::addColumn<QString>("how");
    QTest::newRow("chosen from the list") << "list";
    QTest::newRow("typed into the box") << "typed";
    QTest::newRow("Wszystkie porty") << "all";
}

QByteArray demo_memory_with_daily_limit(const std::string& limit) {
    EncoderInput input = demo::demo_controls();
    input.parameters.Edit1 = limit;
    ImageBuffer image;
    image.fill(0xFF);
    Settings settings;
    compose_image(image, settings, input, [](const std::string&) {});
    return QByteArray(reinterpret_cast<const char*>(image.data()),
                      static_cast<qsizetype>(settings_image_size));
}

} // namespace gnc::test
