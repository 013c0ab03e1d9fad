#pragma once
// Texts the link controller puts into the status line, the progress windows
// and its message boxes (UTF-8).

namespace gnc {

inline constexpr const char* text_connecting = "Trwa nawiązywanie polączenia z urządzeniem";
inline constexpr const char* text_connected_status = "Połączenie z urządzeniem nawiązane";
inline constexpr const char* text_connected_window = "Polaczenie z urządzeniem nawiązane";
inline constexpr const char* text_connect_failed =
    "Nawiązanie polączenia z ukladem nie powiodlo się.";
inline constexpr const char* text_connect_failed_advice =
    "Wybierz port komputera wyłącz i włącz urządzenie a następnie wcisnij przycisk \"Nawiąż "
    "połączenie\".";
inline constexpr const char* text_read_refused =
    "Odczyt ustawień nie może być przeprowadzony. Wybierz port komputera, wyłącz i włącz "
    "urządzenie a następnie nacinij przycisk \"Nawiąż połączenie\"";
inline constexpr const char* text_reading = "Trwa odczyt ustawień urządzenia";
inline constexpr const char* text_read_done = "Ustawienia zostały pobrane";
inline constexpr const char* text_read_failed =
    "Błąd!  Wybierz port komputera wyłącz i włącz urządzenie a następnie wcisnij przycisk \"Nawiąż "
    "połączenie\".";
inline constexpr const char* text_link_broken_status =
    "Nawiązanie połączenia z komputerem zostało zerwane. Wyłącz i włącz urządzenie wybierz port i "
    "naciśnij przycisk \"Nawiąż połączenie\"";
inline constexpr const char* text_programming = "Trwa zapis ustawień do urządzenia";
inline constexpr const char* text_programming_done =
    "Programowanie urządzenia zakończono pomyślnie";
inline constexpr const char* text_programming_failed =
    "Błąd!  Wybierz port komputera wyłącz i włącz urządzenie a następnie wcisnij przycisk \"Nawiąż "
    "połączenie\"";
inline constexpr const char* text_port_open_failed = "Niewłaściwa nazwa lub jest aktywny port ";

} // namespace gnc
