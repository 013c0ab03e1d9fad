#pragma once
// Turns the settings image into the settings values. Never fails: every field
// that does not pass its check decodes as a fixed fallback, so a blank or
// damaged memory still gives a complete set of values to edit.

#include "image/image_buffer.h"
#include "image/settings.h"

namespace gnc {

// Every page-0 value except the five phone numbers.
void decode_parameters(const ImageBuffer& image, Settings& settings);

// The SMS-centre number and the four user numbers.
void odczytaj_uzytkownikow(const ImageBuffer& image, Settings& settings);

// The fifteen texts of pages 1 to 3.
void decode_texts(const ImageBuffer& image, Settings& settings);

// Every settings value, decoded as the configurator decodes a loaded template.
Settings decode_settings(const ImageBuffer& image);

// The settings value that each text slot decodes into, in slot order.
std::string& text_setting(Settings& settings, std::size_t slot_index);
const std::string& text_setting(const Settings& settings, std::size_t slot_index);

} // namespace gnc
