#include "resources/resource_paths.h"

namespace gnc::pictures {

QIcon application_icon() {
    QIcon icon;
    icon.addFile(QString::fromLatin1(window_icon));
    icon.addFile(QString::fromLatin1(window_icon_large));
    return icon;
}

} // namespace gnc::pictures
