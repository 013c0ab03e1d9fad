// gsm-notifier-config: programs a GSM SMS alarm notifier over a serial cable.

#include "app/configurator.h"

int main(int argc, char** argv) {
    return gnc::run_configurator(argc, argv);
}
