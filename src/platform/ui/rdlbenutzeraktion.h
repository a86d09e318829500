#pragma once
// Tells the info object about the user's own actions, so that a failure the user
// retries is shown again rather than suppressed as a repeat.
#include <QObject>

// Install on the application object. A mouse click or a key press on a widget counts;
// inside a message box it does not, since dismissing a message is no retry.
class TRDLBenutzerAktionsFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool eventFilter(QObject* AObjekt, QEvent* AEvent) override;
};
