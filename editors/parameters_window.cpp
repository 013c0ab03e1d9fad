// TForm2, the parameters window.
#include "editors/parameters_window.h"

#include "editors/messages_window.h"
#include "editors/operator_presets.h"
#include "image/check.h"
#include "image/decoder.h"
#include "image/layout.h"
#include "resources/resource_paths.h"
#include "windows/arrange_when_shown.h"
#include "windows/box_state.h"
#include "windows/form_layout.h"
#include "windows/forms.h"
#include "windows/main_state.h"
#include "windows/modal.h"
#include "windows/radio_group.h"
#include "windows/text.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTimer>
#include <QToolButton>

namespace gnc {

namespace {

constexpr int outer_width = 673;
constexpr int outer_height = 889;

// The captions of the user numbers and of the inputs, in order.
constexpr int user_label_numbers[] = {3, 5, 8, 9};
constexpr int input_label_numbers[] = {14, 15, 17, 18, 19, 20, 21, 22};

QLineEdit* make_edit(const char* name, QWidget* parent, QRect geometry) {
    auto* edit = new QLineEdit(QString::fromLatin1(name), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(geometry);
    return edit;
}

// A check box at (left, top), sized to its caption.
QCheckBox* make_check_box(const char* name, const QString& caption, QWidget* parent, int left,
                          int top) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->move(left, top);
    fit_when_shown(box);
    return box;
}

// A check box without a caption, of a fixed size.
QCheckBox* make_bare_check_box(const char* name, QWidget* parent, QRect geometry) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

QGroupBox* make_group(const QString& caption, QWidget* parent, QRect geometry) {
    auto* group = new QGroupBox(caption, parent);
    group->setGeometry(geometry);
    return group;
}

RadioGroup* make_radio_group(const char* name, const QString& caption, const QStringList& items,
                             QWidget* parent, QRect geometry) {
    auto* group = new RadioGroup(caption, items, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(geometry);
    return group;
}

void make_bevel(QWidget* parent, QRect geometry) {
    auto* bevel = new QFrame(parent);
    bevel->setFrameShape(QFrame::Panel);
    bevel->setFrameShadow(QFrame::Raised);
    bevel->setGeometry(geometry);
    bevel->lower();
}

// A picture button showing one of the embedded 32 x 32 pictures.
QToolButton* make_picture_button(const char* name, const char* picture, QWidget* parent,
                                 QRect geometry) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setIconSize(QSize(32, 32));
    button->setIcon(pictures::icon_read_when_drawn(picture));
    return button;
}

std::uint8_t mask_of(QCheckBox* const* boxes, int count) {
    std::uint8_t mask = 0;
    for (int i = 0; i < count; ++i)
        if (boxes[i]->isChecked())
            mask |= static_cast<std::uint8_t>(1u << (count - 1 - i));
    return mask;
}

void show_mask(QCheckBox* const* boxes, int count, std::uint8_t mask) {
    for (int i = 0; i < count; ++i)
        boxes[i]->setChecked((mask >> (count - 1 - i)) & 1u);
}

std::uint8_t flag(bool on) {
    return on ? 1 : 0;
}

void set_text(QLineEdit* box, const std::string& bytes) {
    box->setText(from_cp1250(bytes));
}

std::string bytes_of(const QLineEdit* box) {
    return to_cp1250(box->text());
}

// Item 0 of an output group means the output is driven.
void show_driven(RadioGroup* group, std::uint8_t on) {
    group->setItemIndex(on == 1 ? 0 : 1);
}

std::uint8_t driven(const RadioGroup* group) {
    return flag(group->ItemIndex() == 0);
}

} // namespace

TForm2::TForm2(Forms& forms, QWidget* parent) : TForm(parent), forms_(forms) {
    create_window();
    create_number_section();
    create_mask_section();
    create_output_section();
    create_balance_section();
    create_other_section();
    create_buttons();
    connect_rules();
}

MainState& TForm2::state() const {
    return *forms_.state;
}

QCheckBox* TForm2::sms_mask_box(int user) const {
    return sms_mask_[user - 1];
}
QCheckBox* TForm2::ring_mask_box(int user) const {
    return ring_mask_[user - 1];
}
QCheckBox* TForm2::input_mask_box(int input) const {
    return input_mask_[input - 1];
}

QLineEdit* TForm2::user_box(int user) const {
    QLineEdit* const boxes[] = {Edit8, Edit9, Edit10, Edit11};
    return boxes[user - 1];
}

// ---------------------------------------------------------------- layout

void TForm2::create_window() {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(qs("DOMOWY SYSTEM POWIADOMIENIA SMS - PARAMETRY USTAWIEŃ"));
    use_close_box_only(this);
    ignore_escape();
    apply_form_font(this);
    fix_outer_size(this, outer_width, outer_height);
    move(300, 35);

    auto* title = place_label(this, "Label6", qs("Parametry ustawień"), 192, 0);
    QFont title_font(QStringLiteral("Arial"));
    title_font.setPixelSize(23);
    title->setFont(title_font);
    // A palette, not a style sheet: a program's first style sheet sets up
    // Qt's style-sheet machinery, a start-up cost that a colour does not need.
    QPalette navy = title->palette();
    navy.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80)); // navy
    title->setPalette(navy);
    fit_when_shown(title);

    // Raised frames around the sections.
    const int bevel_width = width() - 2 * 8;
    make_bevel(this, {8, 32, bevel_width, 184});
    make_bevel(this, {8, 224, bevel_width, 168});
    make_bevel(this, {8, 408, bevel_width, 144});
    make_bevel(this, {8, 568, bevel_width, 128});
    make_bevel(this, {8, 704, bevel_width, 80});
}

void TForm2::create_number_section() {
    place_label(this, "Label13", qs("Definiowanie Centrum SMS"), 40, 40);
    radiogroup6 = make_radio_group("radiogroup6", qs("Centrum SMS"),
                                   {qs("ORANGE"), qs("ERA"), qs("PLUS"), qs("PLAY"), qs("INNY")},
                                   this, {32, 72, 113, 121});
    Edit7 = make_edit("Edit7", this, {152, 120, 97, 24});
    // The SMS-centre box is only enabled and disabled; it keeps the window
    // colour in both states.
    paint_box(Edit7, BoxColour::window);

    place_label(this, "Label12", qs("Definiowanie numerów użytkowników"), 368, 40);
    const char* const names[] = {"Edit8", "Edit9", "Edit10", "Edit11"};
    QLineEdit** const boxes[] = {&Edit8, &Edit9, &Edit10, &Edit11};
    for (int i = 0; i < 4; ++i) {
        *boxes[i] = make_edit(names[i], this, {304, 80 + 32 * i, 121, 24});
        const QByteArray label = "Label" + QByteArray::number(user_label_numbers[i]);
        place_label(this, label.constData(), qs("Numer użytkownika %1").arg(i + 1), 440,
                    88 + 32 * i);
    }
}

void TForm2::create_mask_section() {
    place_label(this, "Label23", qs("Definiowanie masek"), 224, 232);
    auto* ring = make_group(qs("Maska RING"), this, {16, 264, 145, 121});
    auto* sms = make_group(qs("Maska SMS"), this, {176, 264, 145, 121});
    QCheckBox** const sms_boxes[] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4};
    QCheckBox** const ring_boxes[] = {&CheckBox5, &CheckBox6, &CheckBox7, &CheckBox8};
    const char* const sms_names[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"};
    const char* const ring_names[] = {"CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8"};
    for (int i = 0; i < 4; ++i) {
        const QString caption = qs("Użytkownik %1").arg(i + 1);
        *ring_boxes[i] = make_check_box(ring_names[i], caption, ring, 8, 24 + 24 * i);
        *sms_boxes[i] = make_check_box(sms_names[i], caption, sms, 8, 24 + 24 * i);
        ring_mask_[i] = *ring_boxes[i];
        sms_mask_[i] = *sms_boxes[i];
    }

    auto* inputs = make_group(qs("Maska wejść"), this, {328, 288, 321, 81});
    QCheckBox** const input_boxes[] = {&CheckBox21, &CheckBox22, &CheckBox23, &CheckBox24,
                                       &CheckBox25, &CheckBox26, &CheckBox27, &CheckBox28};
    for (int i = 0; i < 8; ++i) {
        const QByteArray name = "CheckBox" + QByteArray::number(21 + i);
        auto* box = make_bare_check_box(name.constData(), inputs, {8 + 40 * i, 32, 17, 17});
        *input_boxes[i] = box;
        input_mask_[i] = box;
        const QString caption = i == 0 ? qs(" wej1") : qs("wej%1").arg(i + 1);
        const QByteArray label = "Label" + QByteArray::number(input_label_numbers[i]);
        place_label(inputs, label.constData(), caption, 8 + 40 * i, 48);
    }
}

void TForm2::create_output_section() {
    place_label(this, "Label24", qs("Definiowanie sterowanie wyjść"), 232, 416);
    const QStringList steady_items{qs("AKTYWNE"), qs("NIEAKTYWNE")};
    const QStringList timed_items{qs("TAK"), qs("NIE")};

    auto* steady = make_group(qs("Wysterowanie wyjścia na stałe"), this, {16, 448, 297, 97});
    RadioGroup2 = make_radio_group("RadioGroup2", qs("wyjście nr 1"), steady_items, steady,
                                   {24, 16, 134, 73});
    RadioGroup3 = make_radio_group("RadioGroup3", qs("wyjście nr 2"), steady_items, steady,
                                   {160, 16, 134, 73});

    auto* timed = make_group(qs("Automatyczne wysterowanie wyjścia"), this, {320, 448, 313, 97});
    RadioGroup4 =
        make_radio_group("RadioGroup4", qs("wyjście nr 1"), timed_items, timed, {16, 16, 137, 73});
    RadioGroup5 =
        make_radio_group("RadioGroup5", qs("wyjście nr 2"), timed_items, timed, {168, 16, 137, 73});
    // The time boxes lie over the radio groups, beside their items.
    Edit5 = make_edit("Edit5", timed, {72, 48, 41, 24});
    Edit12 = make_edit("Edit12", timed, {232, 48, 41, 24});
    place_label(timed, "Label4", qs("sekund"), 96, 72);
}

void TForm2::create_balance_section() {
    place_label(this, "Label25", qs("Informowanie o stanie konta.   Definioanie  parametrów"), 152,
                576);
    CheckBox20 = make_check_box("CheckBox20", qs("Informacja ilościowa:"), this, 16, 624);
    Edit4 = make_edit("Edit4", this, {160, 616, 57, 24});
    place_label(this, "Label26", qs("SMS"), 224, 624);
    CheckBox10 = make_check_box("CheckBox10", qs("Informacja czasowa"), this, 16, 656);
    Edit3 = make_edit("Edit3", this, {160, 648, 57, 24});
    place_label(this, "Label27", qs("dni"), 224, 656);
    CheckBox9 = make_check_box("CheckBox9", qs("Informuj o stanie konta"), this, 296, 616);
    Edit2 = make_edit("Edit2", this, {296, 648, 73, 24});
    place_label(this, "Label28", qs("Numer badania stanu konta"), 376, 648);
}

void TForm2::create_other_section() {
    place_label(this, "Label29", qs("Definiowanie pozostałych parametrów"), 168, 712);
    place_label(this, "Label1", qs("ECHO"), 40, 752);
    CheckBox17 = make_check_box("CheckBox17", QString(), this, 88, 752);
    place_label(this, "Label2", qs("Definicja dobowego limitu SMS"), 336, 752);
    Edit1 = make_edit("Edit1", this, {536, 744, 57, 24});
}

void TForm2::create_buttons() {
    SpeedButton2 =
        make_picture_button("SpeedButton2", pictures::left_arrow, this, {0, 808, 49, 41});
    place_label(this, "Label11", qs("WSTECZ"), 56, 824);
    SpeedButton3 = make_picture_button("SpeedButton3", pictures::ini, this, {176, 808, 49, 41});
    place_label(this, "Label30", qs("Ustawienia fabryczne"), 232, 824);
    SpeedButton1 = make_picture_button("SpeedButton1", pictures::bell, this, {368, 808, 49, 41});
    place_label(this, "Label10", qs("Definicja alarmów i zapis ustawień"), 424, 824);

    connect(SpeedButton1, &QAbstractButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(SpeedButton2, &QAbstractButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(SpeedButton3, &QAbstractButton::clicked, this, [this] { SpeedButton3Click(); });
}

// ---------------------------------------------------------------- activation

// Message boxes shown while the window is being filled deactivate and
// reactivate it like any other box. Storing the half-filled controls then
// would overwrite settings values not yet shown with whatever the controls
// held from an earlier showing, so during filling only the settle timer is
// handled: the filling itself goes on with the values it was given.
void TForm2::FormActivate() {
    MainState& s = state();
    s.parameter_rules_armed = 0;
    s.settle_ticks = 0;
    if (forms_.Timer3 != nullptr)
        forms_.Timer3->start();
    if (filling_)
        return;
    filling_ = true;
    s.messages_window_open = 0;
    set_text(Edit7, s.settings.sms_centre_number);
    set_text(Edit8, s.settings.user_number_1);
    set_text(Edit9, s.settings.user_number_2);
    set_text(Edit10, s.settings.user_number_3);
    set_text(Edit11, s.settings.user_number_4);
    show_operator_of(s.settings.sms_centre_number);
    wyswietl_nastawy();
    filling_ = false;
}

void TForm2::show_operator_of(const std::string& sms_centre) {
    const OperatorItem item = operator_of(sms_centre);
    radiogroup6->setItemIndex(item);
    if (item != other_item) {
        Edit2->setText(QString::fromLatin1(operator_presets[item].balance_query));
        return;
    }
    // Choosing "INNY" empties the SMS-centre box; put the number back.
    set_text(Edit2, state().settings.balance_query_number);
    set_text(Edit7, state().settings.sms_centre_number);
}

void TForm2::wyswietl_nastawy() {
    const Settings& v = state().settings;
    CheckBox17->setChecked(v.echo_on == 1);
    show_mask(sms_mask_, 4, v.sms_mask);
    show_mask(ring_mask_, 4, v.ring_mask);
    show_mask(input_mask_, 8, v.input_mask);
    show_driven(RadioGroup2, v.output1_steady_on);
    show_driven(RadioGroup3, v.output2_steady_on);

    CheckBox20->setChecked(v.balance_count_valid == 1);
    set_box_applicable(Edit4, v.balance_count_valid == 1);
    Edit4->setText(QStringLiteral("10"));
    CheckBox10->setChecked(v.balance_days_valid == 1);
    set_box_applicable(Edit3, v.balance_days_valid == 1);
    Edit3->setText(QStringLiteral("1"));

    set_text(Edit2, v.balance_query_number);
    const bool has_query = !v.balance_query_number.empty();
    set_box_applicable(Edit2, has_query);
    CheckBox9->setChecked(has_query);

    set_text(Edit4, v.balance_count);
    set_text(Edit3, v.balance_days);
    set_text(Edit1, v.daily_sms_limit);
    show_driven(RadioGroup4, v.output1_timed_on);
    show_driven(RadioGroup5, v.output2_timed_on);
    set_text(Edit5, v.output1_seconds);
    set_text(Edit12, v.output2_seconds);

    if (!pair_valid(state().image_buffer, balance_query_length)) {
        Edit2->setText(QString());
        paint_box(Edit2, BoxColour::scroll_bar);
        CheckBox9->setChecked(false);
    }
    show_test_message_controls();
    state().settings.balance_query_number = bytes_of(Edit2);

    CheckBox9->setChecked(v.balance_info_on == 1);
    set_box_applicable(Edit2, v.balance_info_on == 1);
    CheckBox20->setChecked(v.balance_count_on == 1);
    set_box_applicable(Edit4, v.balance_count_on == 1);
    CheckBox10->setChecked(v.balance_days_on == 1);
    set_box_applicable(Edit3, v.balance_days_on == 1);
}

void TForm2::show_test_message_controls() {
    TForm3* messages = forms_.form3;
    if (messages == nullptr)
        return;
    const Settings& v = state().settings;
    if (v.test_message_on == 1) {
        messages->CheckBox1->setChecked(true);
        set_text(messages->Edit11, v.test_message_user);
    } else {
        messages->CheckBox1->setChecked(false);
        messages->Edit11->setText(QString());
    }
}

// ---------------------------------------------------------------- storing

void TForm2::FormDeactivate() {
    if (forms_.Timer3 != nullptr)
        forms_.Timer3->stop();
    if (filling_)
        return;
    store_controls();
}

void TForm2::store_controls() {
    Settings& v = state().settings;
    v.sms_centre_number = bytes_of(Edit7);
    v.user_number_1 = bytes_of(Edit8);
    v.user_number_2 = bytes_of(Edit9);
    v.user_number_3 = bytes_of(Edit10);
    v.user_number_4 = bytes_of(Edit11);
    v.echo_on = flag(CheckBox17->isChecked());
    v.sms_mask = mask_of(sms_mask_, 4);
    v.ring_mask = mask_of(ring_mask_, 4);
    v.input_mask = mask_of(input_mask_, 8);
    v.output1_steady_on = driven(RadioGroup2);
    v.output2_steady_on = driven(RadioGroup3);
    v.balance_count_valid = v.balance_count_on = flag(CheckBox20->isChecked());
    v.balance_days_valid = v.balance_days_on = flag(CheckBox10->isChecked());
    v.balance_query_number = bytes_of(Edit2);
    store_balance_query_length();
    v.balance_info_on = flag(CheckBox9->isChecked());
    v.balance_count = bytes_of(Edit4);
    v.balance_days = bytes_of(Edit3);
    v.daily_sms_limit = bytes_of(Edit1);
    v.output1_timed_on = driven(RadioGroup4);
    v.output2_timed_on = driven(RadioGroup5);
    v.output1_seconds = bytes_of(Edit5);
    v.output2_seconds = bytes_of(Edit12);
    set_box_applicable(Edit2, CheckBox9->isChecked());
}

// The device learns the length of the balance-query text from a complement
// pair beside its slot.
void TForm2::store_balance_query_length() {
    const auto length = static_cast<std::uint8_t>(bytes_of(Edit2).size() % 256);
    write_pair(state().image_buffer, balance_query_length, length);
}

// ---------------------------------------------------------------- buttons

void TForm2::SpeedButton1Click() {
    MainState& s = state();
    s.messages_window_open = 1;
    decode_texts(s.image_buffer, s.settings);
    if (forms_.form3 != nullptr)
        show_modal(*forms_.form3);
}

// Back: store as a deactivation does, but leave the settle timer alone.
void TForm2::SpeedButton2Click() {
    store_controls();
    accept();
}

} // namespace gnc
