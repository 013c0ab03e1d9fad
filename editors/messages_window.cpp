// TForm3, the messages window.
#include "editors/messages_window.h"

#include "editors/message_rules.h"
#include "editors/parameters_window.h"
#include "resources/resource_paths.h"
#include "windows/arrange_when_shown.h"
#include "windows/box_state.h"
#include "windows/form_layout.h"
#include "windows/forms.h"
#include "windows/main_state.h"
#include "windows/modal.h"
#include "windows/screen_fit.h"
#include "windows/text.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace gnc {

namespace {

constexpr int outer_width = 1145;
constexpr int outer_height = 889;
constexpr int client_width = outer_width - frame_extra_width;

constexpr int first_row_top = 176;
constexpr int row_step = 32;
constexpr int row_height = 25;
constexpr int field_left = 160;
constexpr int field_width = 817;
constexpr int clear_left = 984;
constexpr int clear_width = 57;

struct Group {
    int top;
    int height;
};
constexpr Group header_group{1, 128};
constexpr Group inputs_group{136, 481};
constexpr Group test_group{624, 121};

void add_frame(QWidget* parent, QRect geometry, QFrame::Shadow shadow) {
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Panel | shadow);
    frame->setGeometry(geometry);
}

QLabel* add_label(QWidget* parent, const char* name, const char* text) {
    auto* label = new QLabel(qs(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QFont arial(int pixel_size) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixel_size);
    return font;
}

} // namespace

TForm3::TForm3(Forms& forms, QWidget* parent) : TForm(parent), forms_(forms) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(qs("SYSTEM POWIADOMIENIA SMS DEFINIOWANIE PATRAMETRÓW I PROGRAMOWANIE"));
    setWindowIcon(pictures::application_icon());
    use_close_box_only(this);
    apply_form_font(this);
    fix_outer_size(this, outer_width, outer_height);
    create_frames();
    create_captions();
    create_text_rows();
    create_test_message_controls();
    create_action_buttons();
    set_keyboard_order();
}

void TForm3::create_frames() {
    add_frame(this, QRect(0, 0, client_width, 753), QFrame::Raised);
    for (const Group& group : {header_group, inputs_group, test_group}) {
        add_frame(this, QRect(88, group.top, 977, group.height), QFrame::Raised);
        add_frame(this, QRect(96, group.top + 8, 961, group.height - 16), QFrame::Sunken);
    }
}

void TForm3::create_captions() {
    Label19 = add_label(this, "Label19", "Definiowanie komunikatów alarmowych");
    Label19->setFont(arial(23));
    QPalette navy = Label19->palette();
    navy.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
    Label19->setPalette(navy);
    Label19->setAlignment(Qt::AlignCenter);
    Label19->setGeometry(96, 10, 961, 28);

    Label20 = add_label(
        this, "Label20",
        "NAGŁOWEK KOMUNIKATU NIE MOŻE PRZEKRACZAĆ  50 ZNAKÓW  A  KOMUNIKAT ALARMOWY 100 ZNAKÓW");
    Label20->setAlignment(Qt::AlignCenter);
    Label20->setGeometry(96, 37, 961, 17);

    Label1 = add_label(this, "Label1", "Defiinicja nagłówka komunikatu");
    Label1->move(400, 56);
    Label1->resize(300, 17);

    Label26 = add_label(this, "Label26", "Definicje wejść");
    Label26->setAlignment(Qt::AlignCenter);
    Label26->setGeometry(96, 150, 961, 17);

    Label16 = add_label(this, "Label16", "Definicja wiadomości testowej");
    Label16->move(416, 632);
}

void TForm3::create_text_rows() {
    const auto& fields = message_fields();
    for (std::size_t i = 0; i < message_field_count; ++i) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(fields[i].edit_name));
        auto* clear = new QPushButton(qs("Czyść"), this);
        clear->setObjectName(QString::fromLatin1(fields[i].button_name));
        // Enter in a field must not press a clear button.
        clear->setAutoDefault(false);
        text_fields_[i] = field;
        clear_buttons_[i] = clear;
        connect(field, &QLineEdit::textChanged, this, [this, i] { TextFieldChange(i); });
        connect(clear, &QPushButton::clicked, this, [this, i] { ClearButtonClick(i); });
    }

    text_fields_[header_field]->setGeometry(168, 80, 809, row_height);
    clear_buttons_[header_field]->setGeometry(clear_left, 80, clear_width, row_height);
    for (std::size_t i = header_field + 1; i < test_field; ++i) {
        const int top = first_row_top + static_cast<int>(i - 1) * row_step;
        auto* row_label = new QLabel(qs(fields[i].row_label), this);
        row_label->setFont(arial(20));
        row_label->setGeometry(128, top, 30, row_height);
        text_fields_[i]->setGeometry(field_left, top, field_width, row_height);
        clear_buttons_[i]->setGeometry(clear_left, top, clear_width, row_height);
    }
    text_fields_[test_field]->setGeometry(field_left, 664, field_width, row_height);
    clear_buttons_[test_field]->setGeometry(clear_left, 664, clear_width, row_height);

    Edit1 = text_fields_[0];
    Edit2 = text_fields_[1];
    Edit3 = text_fields_[2];
    Edit4 = text_fields_[3];
    Edit5 = text_fields_[4];
    Edit6 = text_fields_[5];
    Edit7 = text_fields_[6];
    Edit8 = text_fields_[7];
    Edit9 = text_fields_[8];
    Edit10 = text_fields_[9];
    Edit12 = text_fields_[10];
    Edit13 = text_fields_[11];
    Edit14 = text_fields_[12];
    Edit15 = text_fields_[13];
    Edit16 = text_fields_[14];
}

void TForm3::create_test_message_controls() {
    CheckBox1 = new QCheckBox(qs("Wysyłanie wiadomości testowej "), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->move(288, 720);
    arrange_when_shown(
        CheckBox1, [box = CheckBox1] { box->resize(box->sizeHint().width(), scaled(box, 17)); });
    Edit11 = new QLineEdit(QStringLiteral("Edit11"), this);
    Edit11->setObjectName(QStringLiteral("Edit11"));
    Edit11->setGeometry(552, 712, 33, 24);
    Label11 = new QLabel(qs("Index użytkownika  (1...4)"), this);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->move(592, 720);
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    connect(Edit11, &QLineEdit::textChanged, this, [this] { Edit11Change(); });
}

QToolButton* TForm3::create_action_button(const char* name, const char* picture,
                                          const char* caption, QRect geometry) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    button->setIcon(pictures::icon_read_when_drawn(picture));
    button->setIconSize(QSize(32, 32));
    auto* label = add_label(this, name, caption);
    label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Caption"));
    arrange_when_shown(label, [label, button] {
        label->adjustSize();
        const QRect beside = button->geometry();
        label->move(beside.right() + scaled(label, 9), beside.center().y() - label->height() / 2);
    });
    return button;
}

void TForm3::create_action_buttons() {
    SpeedButton2 =
        create_action_button("SpeedButton2", pictures::back, "Wstecz", QRect(88, 760, 49, 49));
    SpeedButton1 =
        create_action_button("SpeedButton1", pictures::factory_texts,
                             "Przywrócenie komunikatów fabrycznych", QRect(88, 808, 49, 49));
    SpeedButton4 = create_action_button("SpeedButton4", pictures::write_device,
                                        "Zapis ustawień do urządzenia", QRect(528, 760, 49, 49));
    SpeedButton3 = create_action_button("SpeedButton3", pictures::save_disk,
                                        "Zapis szablonu na dysk", QRect(528, 808, 49, 49));
    SpeedButton5 =
        create_action_button("SpeedButton5", pictures::exit, "WYJŚCIE", QRect(816, 760, 57, 41));
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
    connect(SpeedButton5, &QToolButton::clicked, this, [this] { SpeedButton5Click(); });
}

// Header, the thirteen alarm fields, the test field, the check box, the index
// box, then the clear buttons from row "0+" down, the header's and the test
// field's last.
void TForm3::set_keyboard_order() {
    std::vector<QWidget*> order(text_fields_.begin(), text_fields_.end());
    order.push_back(CheckBox1);
    order.push_back(Edit11);
    for (std::size_t i = header_field + 1; i < test_field; ++i)
        order.push_back(clear_buttons_[i]);
    order.push_back(clear_buttons_[header_field]);
    order.push_back(clear_buttons_[test_field]);
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// The window closes by its buttons and its close box only, not by Escape.
void TForm3::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    TForm::keyPressEvent(event);
}

// A message box raised by a field's rule while the fields load neither stores
// nor reloads: storing would put the old contents of the fields not yet loaded
// over the values they are about to show.
void TForm3::FormActivate() {
    if (loading_)
        return;
    loading_ = true;
    Label1->setText(qs("Nagłówek komunikatu"));
    const Settings& settings = forms_.state->settings;
    for (std::size_t i = 0; i < message_field_count; ++i)
        load_text(i, settings.*message_fields()[i].value);
    loading_ = false;
}

// A field whose text already stands for the stored bytes is left alone, so
// that reloading what the deactivation just stored is never a change.
void TForm3::load_text(std::size_t index, const std::string& bytes) {
    QLineEdit* field = text_fields_[index];
    if (to_cp1250(field->text()) != bytes)
        field->setText(from_cp1250(bytes));
}

void TForm3::FormDeactivate() {
    if (loading_)
        return;
    store_texts();
    store_test_message_user();
    store_test_message_on();
}

void TForm3::store_texts() {
    Settings& settings = forms_.state->settings;
    for (std::size_t i = 0; i < message_field_count; ++i)
        settings.*message_fields()[i].value = to_cp1250(text_fields_[i]->text());
}

void TForm3::store_test_message_user() {
    forms_.state->settings.test_message_user = to_cp1250(Edit11->text());
}

void TForm3::store_test_message_on() {
    forms_.state->settings.test_message_on = CheckBox1->isChecked() ? 1 : 0;
}

// A refused change puts the last accepted text back; that is a change too and
// runs this rule again for the restored text before the outer run ends.
void TForm3::TextFieldChange(std::size_t index) {
    QLineEdit* field = text_fields_[index];
    const MessageField& rules = message_fields()[index];
    switch (check_message_text(field->text(), last_accepted_[index], rules.limit)) {
    case TextVerdict::too_long:
        show_error_box(qs(rules.length_message));
        field->setText(last_accepted_[index]);
        break;
    case TextVerdict::polish_letter:
        show_error_box(qs(rules.polish_message));
        field->setText(last_accepted_[index]);
        break;
    case TextVerdict::accepted:
        break;
    }
    last_accepted_[index] = field->text();
}

void TForm3::ClearButtonClick(std::size_t index) {
    text_fields_[index]->clear();
}

void TForm3::SpeedButton1Click() {
    for (std::size_t i = 0; i < message_field_count; ++i)
        text_fields_[i]->setText(qs(message_fields()[i].factory_text));
}

// The index box applies only while a test message is to be sent. At creation
// the box is enabled although the check box is unticked, until the first tick.
void TForm3::CheckBox1Click() {
    set_box_applicable(Edit11, CheckBox1->isChecked());
}

// Silent while the parameters window fills the box as it shows the settings;
// active once that window has opened this one.
void TForm3::Edit11Change() {
    if (forms_.state->messages_window_open == 0)
        return;
    const IndexCheck check = check_user_index(Edit11->text());
    if (check.verdict == IndexVerdict::empty)
        return;
    if (check.verdict == IndexVerdict::out_of_range) {
        show_error_box(qs("Index użytkownika - pozycja na której użytkownik zapisany jest w "
                          "systemie ma zawierać się w przedziałe od 1 do 4 "));
        Edit11->clear();
        return;
    }
    if (!user_number_defined(check.user)) {
        show_error_box(qs("Zdefiniuj najpierw użytkownika numer ") + QString::number(check.user));
        Edit11->clear();
    }
}

bool TForm3::user_number_defined(int user) const {
    const TForm2* form2 = forms_.form2;
    if (form2 == nullptr)
        return false;
    const std::array<QLineEdit*, 4> numbers{form2->Edit8, form2->Edit9, form2->Edit10,
                                            form2->Edit11};
    return !numbers[static_cast<std::size_t>(user - 1)]->text().isEmpty();
}

} // namespace gnc
