// TForm1, the main window.
#include "app/main_window.h"

#include "editors/parameters_window.h"
#include "editors/settings_sheet.h"
#include "editors/settle_timer.h"
#include "image/backup_store.h"
#include "image/decoder.h"
#include "image/template_file.h"
#include "link/link_controller.h"
#include "link/port_choices.h"
#include "link/serial_devices.h"
#include "link/serial_port.h"
#include "resources/resource_paths.h"
#include "windows/connect_window.h"
#include "windows/end_program.h"
#include "windows/file_dialogs.h"
#include "windows/form_layout.h"
#include "windows/forms.h"
#include "windows/info_windows.h"
#include "windows/link_lost_notice.h"
#include "windows/modal.h"
#include "windows/programming_window.h"
#include "windows/read_window.h"
#include "windows/screen_fit.h"
#include "windows/text.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <exception>
#include <functional>
#include <utility>

namespace gnc {

namespace {

constexpr int port_count = 8;

QToolButton* place_picture_button(QWidget* parent, const char* name, const char* picture, int left,
                                  int top, int width = 41, int height = 41) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(pictures::icon_read_when_drawn(picture));
    button->setIconSize(QSize(32, 32));
    button->setGeometry(left, top, width, height);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// The port box. Its tooltips tell which device each name reaches; finding
// that out scans the system's serial devices, which takes longer than
// anything else the main window does before it is shown. So the box asks
// for its tooltips only when they are about to be seen: when its own
// tooltip is to show (also when hovered over its edit field, whose tooltip
// event comes on to the box) and when its list is opened. Both happen on
// the user-interface thread, as the rest of the program does.
class PortBox : public QComboBox {
  public:
    PortBox(QWidget* parent, std::function<void()> renew_tooltips, std::function<void()> renew_list)
        : QComboBox(parent), renew_tooltips_(std::move(renew_tooltips)),
          renew_list_(std::move(renew_list)) {}

    // Adapters come and go while the program runs: the list is made afresh
    // each time it opens.
    void showPopup() override {
        renew_list_();
        QComboBox::showPopup();
    }

  protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip)
            renew_tooltips_();
        return QComboBox::event(event);
    }

  private:
    std::function<void()> renew_tooltips_;
    std::function<void()> renew_list_;
};

// Restores a flag when the scope ends, also when nested calls changed it.
class FlagScope {
  public:
    FlagScope(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
    ~FlagScope() { flag_ = saved_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
    bool saved_;
};

} // namespace

TForm1::TForm1(Forms& forms, QWidget* parent) : QWidget(parent), forms_(forms) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(application_title));
    setWindowIcon(pictures::application_icon());
    apply_form_font(this);
    setFixedSize(809, 305);
    create_controls();
    create_timers();
    FormCreate();
}

void TForm1::setVisible(bool visible) {
    if (visible)
        fit_to_screen(this);
    QWidget::setVisible(visible);
}

void TForm1::create_controls() {
    Bevel1 = place_line(this, "Bevel1", 0, 0, width(), 1);
    Bevel2 = place_line(this, "Bevel2", 0, 0, 1, height());
    Bevel3 = place_line(this, "Bevel3", width() - 1, 0, 1, height());
    Bevel4 = place_line(this, "Bevel4", 0, height() - 1, width(), 1);

    Label5 = new QLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    // Two lines high: the longest status texts do not fit one line in the
    // fallback font.
    Label5->setGeometry(8, 16, 801, 32);
    Label5->setWordWrap(true);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette black = Label5->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Label5->setPalette(black);

    Label2 = place_label(this, "Label2", QString(), 240, 48);
    create_port_box();
    create_picture_buttons();
}

// The eight names first, as always; the ports found beyond them and
// "Wszystkie porty" follow, refreshed whenever the list opens. Each item
// holds the name its choice gives `port_name`.
void TForm1::create_port_box() {
    ComboBox1 = new PortBox(
        this, [this] { show_port_devices(); }, [this] { refresh_port_list(); });
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setGeometry(16, 64, 161, 21);
    for (int n = 1; n <= port_count; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        ComboBox1->addItem(name, name);
    }
    ComboBox1->addItem(qs(all_ports_name), qs(all_ports_name));
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
    connect(ComboBox1->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { ComboBox1Confirm(); });
}

void TForm1::create_picture_buttons() {
    SpeedButton1 = place_picture_button(this, "SpeedButton1", pictures::connect, 184, 56);
    Label3 = place_label(this, "Label3", qs("Nawiąż połączenie "), 232, 72);
    SpeedButton5 = place_picture_button(this, "SpeedButton5", pictures::read, 32, 112);
    Label4 = place_label(this, "Label4", qs("Odczyt ustawień z ukladu"), 88, 128);
    SpeedButton6 = place_picture_button(this, "SpeedButton6", pictures::parameters, 32, 160);
    Label1 = place_label(this, "Label1", qs("Definicja ustawień i programowanie ukladu"), 88, 176);
    SpeedButton7 = place_picture_button(this, "SpeedButton7", pictures::template_open, 32, 208);
    Label6 = place_label(this, "Label6", qs("Odczyt szablonu ustawień z dysku"), 88, 224);
    SpeedButton2 = place_picture_button(this, "SpeedButton2", pictures::exit, 32, 256, 41, 33);
    Label7 = place_label(this, "Label7", qs("WYJŚCIE"), 80, 272);
    SpeedButton3 = place_picture_button(this, "SpeedButton3", pictures::cable, 392, 112);
    Label8 = place_label(this, "Label8", qs("Schemat podłączenia kabla "), 440, 112);
    Label9 = place_label(this, "Label9", qs("do programowania urządzenia"), 440, 128);
    SpeedButton8 = place_picture_button(this, "SpeedButton8", pictures::mounting, 392, 160);
    Label10 = place_label(this, "Label10", qs("Schemat montażowy"), 448, 176);
    SpeedButton4 = place_picture_button(this, "SpeedButton4", pictures::about, 392, 208);
    Label11 = place_label(this, "Label11", qs("Informacja o systemie i firmie"), 448, 216);

    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
    connect(SpeedButton5, &QToolButton::clicked, this, [this] { SpeedButton5Click(); });
    connect(SpeedButton6, &QToolButton::clicked, this, [this] { SpeedButton6Click(); });
    connect(SpeedButton7, &QToolButton::clicked, this, [this] { SpeedButton7Click(); });
    connect(SpeedButton8, &QToolButton::clicked, this, [this] { SpeedButton8Click(); });
}

void TForm1::create_timers() {
    // Precise timers: coarse ones may shift each tick by up to 5 %, and the
    // device is to see one request a second and the time-outs to hold.
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(exchange_tick_ms);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer2 = new QTimer(this);
    Timer2->setTimerType(Qt::PreciseTimer);
    Timer2->setInterval(supervision_tick_ms);
    connect(Timer2, &QTimer::timeout, this, [this] {
        FlagScope scope(in_timer2_slot_, true);
        Timer2Timer();
    });
    Timer3 = new QTimer(this);
    Timer3->setTimerType(Qt::PreciseTimer);
    Timer3->setInterval(50);
    connect(Timer3, &QTimer::timeout, this, [this] { Timer3Timer(); });
    Timer1->start();
    Timer2->start();
}

void TForm1::FormCreate() {
    messages_window_open = 0;
    link.link_up = 0;
    Timer3->stop();
    parameter_rules_armed = 0;
    link.watchdog_ticks = 0;
    link.watchdog_armed = 0;
    link.read_request = 0;
    link.program_watch_on = 0;
    link.programming_on = 0;
    image_buffer.fill(0xFF);
    decode_parameters(image_buffer, settings);
    odczytaj_uzytkownikow(image_buffer, settings);
    link.link_up = 0;
    ComboBox1->setCurrentIndex(0);
    port_name = "COM1";
    show_status(qs("Wybierz port komputera, wyłącz i włącz urządzenie i naciśnij przycisk "
                   "\"Nawiąż połączenie\""));
}

// A chosen item sets the port it names; the next connect action opens it.
void TForm1::ComboBox1Change() {
    const int index = ComboBox1->currentIndex();
    if (index < 0)
        return;
    port_name = ComboBox1->itemData(index).toString().toStdString();
    show_port_devices();
}

// A name typed into the box and confirmed (Enter, or leaving the box): the
// item it names, in any letter case, or else the name as typed, which the
// next connect action opens as it stands ("COM12", "\\.\COM12", a device
// path).
void TForm1::ComboBox1Confirm() {
    const QString text = ComboBox1->currentText().trimmed();
    const int index = ComboBox1->findText(text, Qt::MatchFixedString);
    if (index >= 0) {
        if (index != ComboBox1->currentIndex())
            ComboBox1->setCurrentIndex(index);
        else
            ComboBox1Change();
        return;
    }
    const std::string typed = typed_port_name(text.toStdString());
    if (typed.empty())
        return;
    port_name = typed;
    // No item is chosen now, so that choosing any item afterwards counts.
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->setCurrentIndex(-1);
        ComboBox1->setEditText(text);
    }
    show_port_devices();
}

// The port on which "Wszystkie porty" found the device becomes the chosen
// one, as if picked from the list.
void TForm1::show_found_port(const std::string& name) {
    port_name = name;
    int index = ComboBox1->findData(QString::fromStdString(name));
    if (index < 0) {
        refresh_port_list();
        index = ComboBox1->findData(QString::fromStdString(name));
    }
    if (index >= 0) {
        ComboBox1->setCurrentIndex(index);
        return;
    }
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QString::fromStdString(name));
}

// The items after the eight names are made anew from the ports there now.
// The chosen port stays chosen while it is there; a port that has gone, or
// a typed name, stays in the box as text.
void TForm1::refresh_port_list() {
    const PortSources sources = port_sources_now();
    const QSignalBlocker quiet(ComboBox1);
    const QString text = ComboBox1->currentText();
    const bool eight_chosen =
        ComboBox1->currentIndex() >= 0 && ComboBox1->currentIndex() < port_count;
    while (ComboBox1->count() > port_count)
        ComboBox1->removeItem(port_count);
    for (const PortItem& item : further_port_items(sources, port_naming(), same_device))
        ComboBox1->addItem(QString::fromStdString(item.text),
                           QString::fromStdString(item.port_name));
    ComboBox1->addItem(qs(all_ports_name), qs(all_ports_name));
    if (!eight_chosen) {
        ComboBox1->setCurrentIndex(ComboBox1->findData(QString::fromStdString(port_name)));
        if (ComboBox1->currentIndex() < 0)
            ComboBox1->setEditText(text);
    }
    show_port_devices(sources);
}

// Each item's tooltip, and the box's own for the chosen port, tell which
// device the name reaches now; adapters come and go, so they are renewed at
// every choice and whenever they are about to be seen (PortBox).
void TForm1::show_port_devices() {
    show_port_devices(port_sources_now());
}

void TForm1::show_port_devices(const PortSources& sources) {
    for (int i = 0; i < ComboBox1->count(); ++i) {
        const std::string name = ComboBox1->itemData(i).toString().toStdString();
        const QString tooltip =
            name == all_ports_name ? qs(all_ports_tooltip) : port_tooltip(name, sources);
        ComboBox1->setItemData(i, tooltip, Qt::ToolTipRole);
    }
    ComboBox1->setToolTip(port_name == all_ports_name ? qs(all_ports_tooltip)
                                                      : port_tooltip(port_name, sources));
}

// The tooltips are renewed afterwards: on Windows they then also say why the
// port did not open, which the message box does not.
void TForm1::SpeedButton1Click() {
    if (forms_.controller != nullptr)
        forms_.controller->connect_action();
    show_port_devices();
}

void TForm1::SpeedButton2Click() {
    end_program();
}

void TForm1::SpeedButton3Click() {
    show_modal(*forms_.form7);
}

void TForm1::SpeedButton4Click() {
    show_modal(*forms_.form10);
}

void TForm1::SpeedButton5Click() {
    if (forms_.controller != nullptr)
        forms_.controller->read_action();
}

void TForm1::SpeedButton6Click() {
    show_modal(*forms_.form2);
}

// Loads a settings template: no link is needed. An unreadable file leaves
// the image buffer and the settings values as they were.
void TForm1::SpeedButton7Click() {
    // Besides the templates, any file (a template saved under a name without
    // ".sbn"), and the backups of every image read from a device.
    const QString path =
        ask_open_file_name(qs("sbn|*.sbn|Wszystkie pliki|*|Kopie zapasowe|*.sbn"),
                           {QString(), QString(), QString::fromStdString(backup_folder())});
    if (path.isEmpty())
        return;
    if (!load_template(file_name_bytes(path), image_buffer)) {
        show_error_box(qs("Odczyt pliku nie może być przeprowadzony"));
        return;
    }
    settings_origin = template_origin(path).text.toStdString();
    // A programming run still sending pages would otherwise go on with the
    // template's pages and leave the device with a mix of two images; a read
    // still under way would overwrite the template's pages with the device's.
    if (forms_.controller != nullptr) {
        forms_.controller->stop_programming();
        forms_.controller->stop_read();
    }
    decode_parameters(image_buffer, settings);
    odczytaj_uzytkownikow(image_buffer, settings);
    decode_texts(image_buffer, settings);
    show_modal(*forms_.form2);
}

void TForm1::SpeedButton8Click() {
    show_modal(*forms_.form8);
}

void TForm1::Timer1Timer() {
    if (forms_.controller != nullptr)
        forms_.controller->timer1_tick();
}

void TForm1::Timer2Timer() {
    if (forms_.controller != nullptr)
        forms_.controller->timer2_tick();
}

void TForm1::Timer3Timer() {
    settle_timer_tick(*this, *Timer3);
}

void TForm1::show_status(const QString& text) {
    Label5->setText(text);
}

void TForm1::set_status_text(const std::string& text) {
    show_status(QString::fromStdString(text));
}

void TForm1::set_window_label(LinkWindow window, int label, const std::string& text) {
    QLabel* target = nullptr;
    switch (window) {
    case LinkWindow::connect:
        target = label == 2 ? forms_.form6->Label2 : forms_.form6->Label1;
        break;
    case LinkWindow::read:
        target = forms_.form4->Label1;
        break;
    case LinkWindow::programming:
        target = forms_.form5->Label1;
        break;
    }
    set_label_text(target, QString::fromStdString(text));
}

QProgressBar* TForm1::bar_of(LinkWindow window) const {
    switch (window) {
    case LinkWindow::connect:
        return forms_.form6->ProgressBar1;
    case LinkWindow::read:
        return forms_.form4->ProgressBar1;
    case LinkWindow::programming:
        break;
    }
    return forms_.form5->ProgressBar1;
}

TForm* TForm1::window_of(LinkWindow window) const {
    switch (window) {
    case LinkWindow::connect:
        return forms_.form6;
    case LinkWindow::read:
        return forms_.form4;
    case LinkWindow::programming:
        break;
    }
    return forms_.form5;
}

int TForm1::window_bar(LinkWindow window) const {
    return bar_of(window)->value();
}

int TForm1::window_bar_maximum(LinkWindow window) const {
    return bar_of(window)->maximum();
}

void TForm1::set_window_bar(LinkWindow window, int value) {
    bar_of(window)->setValue(value);
}

void TForm1::show_window(LinkWindow window) {
    show_modal(*window_of(window));
}

void TForm1::close_window(LinkWindow window) {
    window_of(window)->close();
}

// The notice is shown from inside a Timer2 tick, and Qt does not deliver
// Timer2 again while that tick waits here. A stand-in timer with the same
// interval keeps the supervision ticks going until the notice is dismissed;
// the interrupted tick then finishes its remaining steps.
void TForm1::show_link_lost_notice() {
    QTimer stand_in;
    if (in_timer2_slot_) {
        stand_in.setTimerType(Qt::PreciseTimer);
        stand_in.setInterval(Timer2->interval());
        connect(&stand_in, &QTimer::timeout, this, [this] { Timer2Timer(); });
        stand_in.start();
    }
    show_modal(*forms_.form11);
}

void TForm1::show_error(const std::string& text) {
    show_error_box(QString::fromStdString(text));
}

void TForm1::decode_image() {
    decode_parameters(image_buffer, settings);
    odczytaj_uzytkownikow(image_buffer, settings);
    decode_texts(image_buffer, settings);
    settings_origin = device_origin(port_name).text.toStdString();
    keep_backup_of_read();
}

// Every image read from the device is also kept as a template, so that a
// later programming can be undone. This happens silently: a backup that
// cannot be saved is only reported on stderr and the read goes on as usual.
void TForm1::keep_backup_of_read() {
    try {
        const BackupResult backup = save_backup(image_buffer);
        if (backup.saved)
            std::fprintf(stderr, "Kopia zapasowa odczytanych ustawień: %s\n", backup.path.c_str());
        else
            std::fprintf(stderr, "Nie zapisano kopii zapasowej odczytanych ustawień. %s\n",
                         backup.error.c_str());
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "Nie zapisano kopii zapasowej odczytanych ustawień. %s\n",
                     failure.what());
    }
}

} // namespace gnc
