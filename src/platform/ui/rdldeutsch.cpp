#include "rdldeutsch.h"
#include "rdlinfo.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
const char* CUebersetzerName = "RDLQtDeutsch";
}

bool RDLQtDeutschEinrichten(const std::string& AOrdner) {
    // Widgets take the default locale when they are created; the process locale may be C.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    // The translator lives and dies with its application, so a second call installs none.
    if (app->findChild<QTranslator*>(QLatin1String(CUebersetzerName), Qt::FindDirectChildrenOnly)) return true;
    const QString ordner = AOrdner.empty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                                           : QString::fromStdString(AOrdner);
    auto* uebersetzer = new QTranslator(app);
    uebersetzer->setObjectName(QLatin1String(CUebersetzerName));
    if (!uebersetzer->load(QStringLiteral("qtbase_de"), ordner)) {
        delete uebersetzer;
        RDLInfo().LogSchreiben("Die deutschen Texte von Qt (qtbase_de.qm) fehlen im Ordner \u201E" +
                               ordner.toStdString() +
                               "\u201C; Qts eigene Dialoge und Kn\u00F6pfe bleiben englisch "
                               "(Debian-Paket qt6-translations-l10n).");
        return false;
    }
    QCoreApplication::installTranslator(uebersetzer);
    return true;
}
