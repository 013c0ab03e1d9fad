// gnc-make-demo: writes the demo device's template file.
//   gnc-make-demo resources/demo/demo.sbn
// The file is committed; a test checks that it matches what this writes.

#include "demo_settings.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!gnc::demo::write_demo_template(argv[1], error)) {
        std::fprintf(stderr, "gnc-make-demo: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s\n", argv[1]);
    return 0;
}
