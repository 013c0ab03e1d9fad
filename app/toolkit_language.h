#pragma once
// The windows speak Polish only. The toolkit's own texts (the labels and
// buttons of the file dialogs, the edit boxes' context menu) follow them when
// Qt's Polish translation is installed; otherwise they stay in English.

class QCoreApplication;

namespace gnc {

// Installs Qt's Polish texts into the application; false when they are not
// installed on this machine.
bool install_polish_toolkit_texts(QCoreApplication& application);

} // namespace gnc
