#include "editors/settle_timer.h"

#include "windows/main_state.h"

#include <QTimer>

namespace gnc {

void settle_timer_tick(MainState& state, QTimer& Timer3) {
    if (state.settle_ticks >= 2) {
        state.settle_ticks = 0;
        state.parameter_rules_armed = 1;
        Timer3.stop();
    } else {
        state.settle_ticks += 1;
    }
}

} // namespace gnc
