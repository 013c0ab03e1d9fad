#pragma once
// The demo device's road through the real windows, shared by the Linux
// end-to-end test and the Windows one under Wine: connect, read the device
// into the windows, change the daily SMS limit in the parameters window and
// program the device from the messages window, as a user does.

#include "app/app_windows.h"

#include <QByteArray>
#include <QString>

#include <string>

namespace gnc::test {

// What the windows showed on the way.
struct DemoRoadSeen {
    bool link_up = false;
    QString operator_shown;
    QString seconds_shown;
    QString user2_shown;
    QString text_shown;
    bool programmed = false;
};

DemoRoadSeen walk_the_demo_road(AppWindows& app, const QString& daily_limit, int link_wait_ms);

// The demo road on the port chosen (`how`: "list" the item `item`, "typed"
// `typed` and Enter, "all" "Wszystkie porty"); true when `memory_file`, the
// device's --save file, shows the programming.
bool demo_road_on_port(AppWindows& app, const QString& how, const QString& item,
                       const QString& typed, const QString& memory_file, int link_wait_ms);
// The rows of `how` for it.
void add_port_choice_rows();

// The device memory the demo settings give with the daily limit changed.
QByteArray demo_memory_with_daily_limit(const std::string& limit);

} // namespace gnc::test
