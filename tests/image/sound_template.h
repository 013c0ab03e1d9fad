#pragma once
// A template as the configurator saves it after the user filled both windows:
// every field composed, nothing the windows would refuse.

#include "image/encoder.h"
#include "image/layout.h"

#include <string>

namespace gnc::test {

inline EncoderInput sound_controls(const std::string& sms_centre = "48601000310") {
    EncoderInput in;
    ParametersControls& p = in.parameters;
    p.Edit7 = sms_centre;
    p.Edit8 = "600100200";
    p.Edit9 = "600100201";
    p.CheckBox17 = true;
    p.sms_mask_boxes = {true, true, false, false};
    p.ring_mask_boxes = {true, false, false, false};
    p.input_mask_boxes = {true, true, true, false, false, false, false, true};
    p.RadioGroup2 = 1;
    p.RadioGroup3 = 0;
    p.RadioGroup4 = 0;
    p.Edit5 = "30";
    p.RadioGroup5 = 1;
    p.Edit1 = "15";
    p.CheckBox20 = true;
    p.Edit4 = "50";
    p.CheckBox10 = false;
    p.CheckBox9 = true;
    p.Edit2 = "*101#";
    MessagesControls& m = in.messages;
    m.CheckBox1 = true;
    m.Edit11 = "2";
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        m.texts[i] = "Alarm " + std::to_string(i) + " ";
    }
    m.texts[0] = "DOM: ";
    return in;
}

// Composed over an erased buffer (the second half stays 0xFF).
inline ImageBuffer sound_template(const EncoderInput& controls = sound_controls()) {
    ImageBuffer image;
    image.fill(0xFF);
    Settings settings;
    compose_image(image, settings, controls, [](const std::string&) {});
    return image;
}

} // namespace gnc::test
