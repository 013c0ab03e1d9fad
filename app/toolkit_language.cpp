#include "app/toolkit_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace gnc {

bool install_polish_toolkit_texts(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    // Programs that carry the texts inside (the Windows build) find them in
    // their resources; the others in the system's Qt translations folder.
    bool loaded = false;
    for (const QString& folder :
         {QStringLiteral(":/translations"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        loaded = loaded || translator->load(QLocale(QLocale::Polish), QStringLiteral("qtbase"),
                                            QStringLiteral("_"), folder);
    }
    if (!loaded) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace gnc
