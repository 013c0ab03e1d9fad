#pragma once
// The settings report: an A4 PDF that an installer leaves with the owner of a
// programmed notifier. It shows the settings of an image in the words and
// order of the parameters and messages windows, the alarm texts as the device
// will send them, where the settings came from, and a line for the
// installer's signature. Needs a QGuiApplication (fonts); no widgets.

#include "image/image_buffer.h"

#include <QDateTime>
#include <QString>

#include <string>

namespace gnc {

struct SheetOrigin {
    QString text; // e.g. "szablon ustawień demo.sbn"
};

// Where the settings of the report came from, in the report's own words.
SheetOrigin template_origin(const QString& template_path);
SheetOrigin device_origin(const std::string& port_name);
SheetOrigin windows_origin(); // neither a template nor a device read yet

// The report as PDF bytes (one page, two for the longest texts); empty when
// the PDF could not be made.
QByteArray settings_sheet_pdf(const ImageBuffer& image, const SheetOrigin& origin,
                              const QDateTime& when);

// Writes the report to `path` (UTF-8) as template files are written: through
// a temporary file beside it, so that a failed write leaves an existing file
// intact. False when the report could not be made or written.
bool save_settings_sheet(const std::string& path, const ImageBuffer& image,
                         const SheetOrigin& origin, const QDateTime& when);

} // namespace gnc
