#pragma once
// What the image encoder reads from the parameters window: its controls as
// they stand, texts as CP1250 bytes.

#include "image/encoder.h"

namespace gnc {

class TForm2;

ParametersControls read_parameters_controls(const TForm2& form);

} // namespace gnc
