#pragma once
// The settle timer arms the parameters window's gated rules about 150 ms
// after each activation, once the filling of its boxes has finished.

class QTimer;

namespace gnc {

struct MainState;

// One tick of Timer3 (every 50 ms): the third tick after activation arms the
// gated rules and stops the timer.
void settle_timer_tick(MainState& state, QTimer& Timer3);

} // namespace gnc
