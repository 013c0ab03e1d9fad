#include "tools/template/field_commands.h"

#include "image/backup_store.h"
#include "image/decoder.h"
#include "image/template_checks.h"
#include "image/template_file.h"
#include "link/link_controller.h"
#include "link/link_texts.h"
#include "link/port_choices.h"
#include "tools/template/console_output.h"
#include "tools/template/field_session.h"
#include "tools/template/host_folders.h"
#include "tools/template/progress.h"
#include "tools/template/settings_report.h"

#include <algorithm>
#include <vector>

namespace gnc::cli {

namespace {

constexpr int connect_time_ms = 61 * supervision_tick_ms;

void error_line(const std::string& text) {
    write_err(text + "\n");
}

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) {
        out += (out.empty() ? "" : ", ") + name;
    }
    return out;
}

// Tells what went wrong on the line, with the port and its device, and
// gives the status for it.
int link_failure(LinkOutcome outcome, const FieldSession& session) {
    const std::string port = session.port_description();
    switch (outcome) {
    case LinkOutcome::port_unavailable:
        if (session.searches_every_port()) {
            error_line(no_port_opens_text);
            return exit_no_connection;
        }
        error_line("Niewłaściwa nazwa lub jest aktywny port " + port +
                   ". Sprawdź nazwę portu i zamknij program, który go używa.");
        return exit_no_connection;
    case LinkOutcome::no_offer:
        error_line("Urządzenie na porcie " + port + " nie zgłosiło się w ciągu " +
                   std::to_string(connect_time_ms / 1000) +
                   " s. Wyłącz i włącz urządzenie, a następnie uruchom polecenie ponownie.");
        return exit_no_connection;
    case LinkOutcome::read_timed_out:
        error_line("Odczyt ustawień z urządzenia na porcie " + port +
                   " nie zakończył się w wyznaczonym czasie. Wyłącz i włącz urządzenie, a "
                   "następnie uruchom polecenie ponownie.");
        return exit_read_timeout;
    case LinkOutcome::programming_timed_out:
        error_line("Urządzenie na porcie " + port +
                   " nie potwierdziło zapisu ustawień w wyznaczonym czasie; mogło zapamiętać "
                   "tylko część stron. Wyłącz i włącz urządzenie i zaprogramuj je ponownie.");
        return exit_program_timeout;
    case LinkOutcome::done:
        break;
    }
    return exit_done;
}

// Keeps every image read from a device; says where, or why not.
bool keep_backup(const ImageBuffer& image) {
    const BackupResult backup = save_backup(image);
    if (backup.saved) {
        error_line("Kopia zapasowa: " + backup.path);
    } else {
        error_line("Nie zapisano kopii zapasowej. " + backup.error);
    }
    return backup.saved;
}

// Reasons why the windows would not let these settings reach a device.
std::vector<std::string> refusal_reasons(const ImageBuffer& image) {
    std::vector<std::string> reasons;
    const std::vector<std::string> failing = fields_failing_checks(image);
    if (!failing.empty()) {
        reasons.push_back("pola z błędną sumą kontrolną (konfigurator pokazałby w nich wartości "
                          "domyślne): " +
                          joined(failing));
    }
    for (const std::string& message : encoder_messages(image, decode_settings(image))) {
        reasons.push_back("koder ustawień: " + message);
    }
    return reasons;
}

int connect_and_read(FieldSession& session, ImageBuffer& image) {
    LinkOutcome outcome = session.connect();
    if (outcome == LinkOutcome::done) {
        outcome = session.read(image);
    }
    return link_failure(outcome, session);
}

int verify(FieldSession& session, const ImageBuffer& sent) {
    error_line("Odczyt kontrolny zapisanych ustawień");
    ImageBuffer stored;
    if (const int status = link_failure(session.read(stored), session); status != exit_done) {
        return status;
    }
    keep_backup(stored);
    const std::vector<std::string> differing = fields_differing(sent, stored);
    if (!differing.empty()) {
        error_line("Weryfikacja nie powiodła się: urządzenie na porcie " +
                   session.port_description() +
                   " przechowuje inne wartości pól: " + joined(differing));
        return exit_verify_failed;
    }
    error_line("Weryfikacja zakończona: urządzenie przechowuje wysłane ustawienia.");
    return exit_done;
}

// The value part of a report line, as `show` prints it.
std::string plain_value(const ReportEntry& entry) {
    const std::string line = plain_report({entry});
    const std::size_t start = std::string(entry.name).size() + 2; // "name: "
    return line.substr(start, line.size() - start - 1);
}

std::string json_value(const ReportEntry& entry) {
    const std::string object = json_report({entry}); // {\n  "name": value\n}\n
    const std::size_t start = object.find("\": ") + 3;
    return object.substr(start, object.rfind("\n}") - start);
}

bool same_value(const ReportEntry& a, const ReportEntry& b) {
    return a.is_text ? a.text == b.text : a.number == b.number;
}

} // namespace

int read_command(const std::string& port_name, const std::string& out_path) {
    // Found out before the user switches the device off and on, not after.
    if (!folder_writable(out_path)) {
        error_line("Zapis pliku nie może być przeprowadzony: " + out_path);
        return exit_file;
    }
    Progress progress(Progress::stderr_is_terminal());
    ImageBuffer image;
    {
        FieldSession session(port_name, progress);
        if (const int status = connect_and_read(session, image); status != exit_done) {
            return status;
        }
    } // the port is closed here
    keep_backup(image);
    if (!save_template(out_path, image)) {
        error_line("Zapis pliku nie może być przeprowadzony: " + out_path);
        return exit_file;
    }
    error_line("Ustawienia zostały pobrane i zapisane w " + out_path);
    return exit_done;
}

int program_command(const std::string& port_name, const std::string& in_path, bool verify_after) {
    ImageBuffer image;
    if (!load_template(in_path, image)) {
        error_line("Odczyt pliku nie może być przeprowadzony: " + in_path);
        return exit_file;
    }
    const std::vector<std::string> reasons = refusal_reasons(image);
    if (!reasons.empty()) {
        error_line("Szablon " + in_path + " odrzucony, nic nie wysłano do urządzenia:");
        for (const std::string& reason : reasons) {
            error_line("  " + reason);
        }
        return exit_refused;
    }
    Progress progress(Progress::stderr_is_terminal());
    FieldSession session(port_name, progress);
    ImageBuffer before;
    if (const int status = connect_and_read(session, before); status != exit_done) {
        return status;
    }
    // The device's own settings are the only way back: no backup, no programming.
    if (!keep_backup(before)) {
        error_line("Programowanie przerwane przed zapisem: urządzenie zachowało swoje ustawienia.");
        return exit_file;
    }
    if (const int status = link_failure(session.program(image), session); status != exit_done) {
        return status;
    }
    error_line(text_programming_done);
    return verify_after ? verify(session, image) : exit_done;
}

int backups_command() {
    const std::string folder = backup_folder();
    const std::vector<std::string> backups =
        folder.empty() ? std::vector<std::string>{} : list_backups(folder);
    if (backups.empty()) {
        error_line("Brak kopii zapasowych" + (folder.empty() ? "" : " w " + folder));
        return exit_done;
    }
    std::string out;
    for (const std::string& path : backups) {
        ImageBuffer image;
        Settings settings;
        std::string numbers = "nie można odczytać pliku";
        if (load_template(path, image)) {
            odczytaj_uzytkownikow(image, settings);
            auto shown = [](const std::string& n) { return n.empty() ? std::string("-") : n; };
            numbers = "centrum SMS: " + shown(settings.sms_centre_number) +
                      "  użytkownik 1: " + shown(settings.user_number_1);
        }
        out += path + "  " + numbers + "\n";
    }
    if (!write_out(out)) {
        error_line("Zapis wyniku nie może być przeprowadzony");
        return exit_file;
    }
    return exit_done;
}

int diff_command(const std::string& path_a, const std::string& path_b, bool json) {
    ImageBuffer a;
    ImageBuffer b;
    for (const auto& [path, image] : {std::pair{&path_a, &a}, std::pair{&path_b, &b}}) {
        if (!load_template(*path, *image)) {
            error_line("Odczyt pliku nie może być przeprowadzony: " + *path);
            return exit_file;
        }
    }
    const std::vector<ReportEntry> entries_a = report_entries(decode_settings(a));
    const std::vector<ReportEntry> entries_b = report_entries(decode_settings(b));
    std::string out = json ? "{" : "";
    bool differ = false;
    for (std::size_t i = 0; i < entries_a.size(); ++i) {
        const ReportEntry& ea = entries_a[i];
        const ReportEntry& eb = entries_b[i];
        if (same_value(ea, eb)) {
            continue;
        }
        if (json) {
            out += std::string(differ ? ",\n  \"" : "\n  \"") + ea.name +
                   "\": {\"a\": " + json_value(ea) + ", \"b\": " + json_value(eb) + "}";
        } else {
            out += std::string("- ") + ea.name + ": " + plain_value(ea) + "\n+ " + eb.name + ": " +
                   plain_value(eb) + "\n";
        }
        differ = true;
    }
    if (json) {
        out += differ ? "\n}\n" : "}\n";
    }
    if (!write_out(out)) {
        error_line("Zapis wyniku nie może być przeprowadzony");
        return exit_file;
    }
    return differ ? 1 : exit_done;
}

} // namespace gnc::cli
