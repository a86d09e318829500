#include "rdlbenutzeraktion.h"
#include "rdlinfo.h"
#include <QEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QWidget>

bool TRDLBenutzerAktionsFilter::eventFilter(QObject* AObjekt, QEvent* AEvent) {
    const QEvent::Type typ = AEvent->type();
    bool aktion = typ == QEvent::MouseButtonPress;
    if (typ == QEvent::KeyPress) aktion = !static_cast<QKeyEvent*>(AEvent)->isAutoRepeat();
    // The same event also passes the window handle on its way; the widget decides.
    const auto* widget = qobject_cast<const QWidget*>(AObjekt);
    if (aktion && widget && !qobject_cast<const QMessageBox*>(widget->window())) RDLInfo().BenutzerAktion();
    return false; // only watching
}
