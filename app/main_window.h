// TForm1, the main window.
#pragma once
// The main window: status line, port choice, the eight picture buttons and
// the three timers. It owns everything the windows share (MainState) and is
// the link controller's view of the progress windows and the status line.

#include "link/link_view.h"
#include "windows/main_state.h"
#include "windows/window_base.h"

#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QProgressBar;
class QTimer;
class QToolButton;

namespace gnc {

struct Forms;
struct PortSources;

class TForm1 : public QWidget, public MainState, public FormEvents, public LinkView {
    Q_OBJECT
  public:
    explicit TForm1(Forms& forms, QWidget* parent = nullptr);
    // Fits the window to its screen (screen_fit.h) before it shows.
    void setVisible(bool visible) override;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr; // status line
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QToolButton* SpeedButton1 = nullptr; // connect
    QToolButton* SpeedButton2 = nullptr; // exit
    QToolButton* SpeedButton3 = nullptr; // cable schematic
    QToolButton* SpeedButton4 = nullptr; // about
    QToolButton* SpeedButton5 = nullptr; // read
    QToolButton* SpeedButton6 = nullptr; // parameters window
    QToolButton* SpeedButton7 = nullptr; // template load
    QToolButton* SpeedButton8 = nullptr; // mounting schematic
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;
    QFrame* Bevel3 = nullptr;
    QFrame* Bevel4 = nullptr;
    QTimer* Timer1 = nullptr; // 1000 ms, link exchange
    QTimer* Timer2 = nullptr; // 300 ms, watchdog, time-outs, bars
    QTimer* Timer3 = nullptr; // 50 ms, settle timer of the parameters window

    void ComboBox1Change();
    void ComboBox1Confirm(); // a typed name confirmed by Enter or by leaving the box
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton8Click();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();

    // LinkView
    void set_status_text(const std::string& text) override;
    void set_window_label(LinkWindow window, int label, const std::string& text) override;
    int window_bar(LinkWindow window) const override;
    int window_bar_maximum(LinkWindow window) const override;
    void set_window_bar(LinkWindow window, int value) override;
    void show_window(LinkWindow window) override;
    void close_window(LinkWindow window) override;
    void show_link_lost_notice() override;
    void show_error(const std::string& text) override;
    void decode_image() override;

    // The search of "Wszystkie porty" found the device on `port_name`.
    void show_found_port(const std::string& port_name);

  private:
    void create_controls();
    void create_picture_buttons();
    void create_port_box();
    void refresh_port_list();
    void show_port_devices();
    void show_port_devices(const PortSources& sources);
    void create_timers();
    void FormCreate();
    void show_status(const QString& text);
    void keep_backup_of_read();
    QProgressBar* bar_of(LinkWindow window) const;
    TForm* window_of(LinkWindow window) const;

    Forms& forms_;
    // True while Timer2's own slot runs: Qt does not deliver Timer2 again
    // until it returns, which matters when the slot waits in a modal window.
    bool in_timer2_slot_ = false;
};

} // namespace gnc
