#pragma once
// Composes the settings image from the two editor windows, computing every
// check byte and complement byte, and reports the values that the windows'
// own field rules do not already hold in range.

#include "image/image_buffer.h"
#include "image/layout.h"
#include "image/settings.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace gnc {

// A snapshot of the parameters window (TForm2) controls that the composition reads.
struct ParametersControls {
    std::string Edit7;                        // SMS centre
    std::string Edit8, Edit9, Edit10, Edit11; // users 1..4
    bool CheckBox17 = false;                  // ECHO
    std::array<bool, 4> sms_mask_boxes{};     // CheckBox1..CheckBox4
    std::array<bool, 4> ring_mask_boxes{};    // CheckBox5..CheckBox8
    std::array<bool, 8> input_mask_boxes{};   // CheckBox21..CheckBox28
    int RadioGroup2 = -1, RadioGroup3 = -1;   // 0 "AKTYWNE", 1 "NIEAKTYWNE", -1 none
    int RadioGroup4 = -1, RadioGroup5 = -1;   // 0 "TAK", 1 "NIE", -1 none
    std::string Edit5, Edit12;                // seconds for output 1 / 2
    std::string Edit1;                        // daily SMS limit
    bool CheckBox20 = false;                  // quantity-based balance report
    std::string Edit4;                        //   its number of SMS
    bool CheckBox10 = false;                  // time-based balance report
    std::string Edit3;                        //   its number of days
    bool CheckBox9 = false;                   // balance info
    std::string Edit2;                        // balance-query number
};

// A snapshot of the messages window (TForm3) controls that the composition reads.
struct MessagesControls {
    bool CheckBox1 = false;                         // send test message
    std::string Edit11;                             // test-message user index
    std::array<std::string, text_slot_count> texts; // Edit1..Edit10, Edit12..Edit16 in slot order
};

struct EncoderInput {
    ParametersControls parameters;
    MessagesControls messages;
};

// All texts are CP1250 bytes, one byte per character, exactly as the control
// holds them. Messages are UTF-8 and are shown at once, in step order.
using MessageSink = std::function<void(const std::string& utf8_message)>;

struct ComposeResult {
    bool compose_error = false;
    bool close_messages_window = false; // ask the messages window to close
    // Set when a timed output's seconds text was not an integer: the
    // composition stopped there and the window shows invalid_integer_message.
    std::optional<std::string> invalid_integer_text;
};

// Composes all of page 0 and the fifteen text slots. Writes the three masks
// into `settings` (sms_mask, ring_mask, input_mask) as it composes them.
ComposeResult compose_image(ImageBuffer& image, Settings& settings, const EncoderInput& input,
                            const MessageSink& show);

// Composes the fifteen text slots of pages 1 to 3; true when a text was too long.
bool compose_texts(ImageBuffer& image, const MessagesControls& messages, const MessageSink& show);

// "'%s' is not a valid integer value" with the CP1250 text, as UTF-8.
std::string invalid_integer_message(const std::string& text);

} // namespace gnc
