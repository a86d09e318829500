#include "hiddenmainform.h"
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <exception>

TKOV_HiddenMainForm::TKOV_HiddenMainForm(QObject* AParent) : QObject(AParent) {}

TKOV_HiddenMainForm::~TKOV_HiddenMainForm() = default;

int TKOV_HiddenMainForm::Ausfuehren() {
    if (FAusgefuehrt) return 0;
    FAusgefuehrt = true;
    if (!QCoreApplication::instance()) {
        Execute();
        return 0;
    }
    // Execute spans the whole use of the program: closing its last window (or a
    // catalogue hidden while an evaluation runs) must not end the application.
    const bool quitAlt = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    std::exception_ptr fehler;
    QTimer::singleShot(0, this, [this, &fehler] {
        // Exceptions must not unwind through Qt's event loop.
        try {
            Execute();
        } catch (...) {
            fehler = std::current_exception();
        }
        QCoreApplication::exit(0);
    });
    const int rc = QCoreApplication::exec();
    QGuiApplication::setQuitOnLastWindowClosed(quitAlt);
    if (fehler) std::rethrow_exception(fehler);
    return rc;
}
