#include "demo_settings.h"

#include "image/template_file.h"

namespace gnc::demo {

namespace {

// Polish texts written without Polish letters: the device's message texts
// admit only codes up to 125, so every character here is plain ASCII.
const std::array<std::string, text_slot_count> alarm_texts = {
    "DOM LETNISKOWY: ",                    // header
    "Brak zasilania sieciowego 230V",      // 0+
    "Powrot zasilania sieciowego 230V",    // 0-
    "Alarm! Ruch w salonie",               // 1+
    "Koniec alarmu w salonie",             // 1-
    "Otwarte drzwi wejsciowe",             // 2+
    "Drzwi wejsciowe zamkniete",           // 2-
    "Czujka dymu w kuchni - pozar!",       // 3+
    "Czujka dymu w kuchni - spokoj",       // 3-
    "Zalanie w lazience",                  // 4+
    "Otwarte okno w sypialni",             // 5+
    "Sabotaz obudowy centrali",            // 6+
    "Niska temperatura w kotlowni",        // 7+
    "Otwarta brama garazowa",              // 8+
    "Test systemu - powiadomienie dziala", // test message
};

ParametersControls demo_parameters() {
    ParametersControls p;
    p.Edit7 = "48601000310"; // SMS centre of the "PLUS" preset
    p.Edit2 = "*100#";       // that operator's balance query
    p.Edit8 = "48600100200";
    p.Edit9 = "48600100300";
    p.CheckBox17 = true;                             // ECHO
    p.sms_mask_boxes = {true, true, false, false};   // SMS to users 1 and 2
    p.ring_mask_boxes = {true, false, false, false}; // ring user 1 only
    p.input_mask_boxes = {true, true, true, true, true, true, false, false};
    p.RadioGroup2 = 1; // output 1 not driven permanently...
    p.RadioGroup4 = 0; // ...but switched on for 45 seconds on an alarm
    p.Edit5 = "45";
    p.RadioGroup3 = 0; // output 2 driven permanently
    p.RadioGroup5 = 1;
    p.Edit1 = "50"; // daily SMS limit
    p.CheckBox9 = true;
    p.CheckBox20 = true; // balance every 100 SMS
    p.Edit4 = "100";
    p.CheckBox10 = true; // and every 7 days
    p.Edit3 = "7";
    return p;
}

} // namespace

EncoderInput demo_controls() {
    EncoderInput input;
    input.parameters = demo_parameters();
    input.messages.CheckBox1 = true; // test message to user 1
    input.messages.Edit11 = "1";
    input.messages.texts = alarm_texts;
    return input;
}

ImageBuffer compose_demo_image(std::vector<std::string>& messages) {
    ImageBuffer image;
    image.fill(0xFF);
    Settings settings;
    const ComposeResult result =
        compose_image(image, settings, demo_controls(),
                      [&messages](const std::string& message) { messages.push_back(message); });
    if (result.invalid_integer_text)
        messages.push_back(invalid_integer_message(*result.invalid_integer_text));
    return image;
}

bool write_demo_template(const std::string& path, std::string& error) {
    std::vector<std::string> messages;
    const ImageBuffer image = compose_demo_image(messages);
    if (!messages.empty()) {
        error = "the demo settings do not compose: " + messages.front();
        return false;
    }
    if (!save_template(path, image)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace gnc::demo
