#pragma once
// What the image encoder reads from the messages window: the fifteen texts in
// slot order, the test-message tick and the user index, as CP1250 bytes.

#include "image/encoder.h"

namespace gnc {

class TForm3;

MessagesControls read_messages_controls(const TForm3& form);

} // namespace gnc
