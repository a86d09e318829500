#pragma once
// The invisible main form of the suite's programs: it exists only to call Execute
// once the application runs, and the application ends when Execute returns.
#include <QObject>

class TKOV_HiddenMainForm : public QObject {
    Q_OBJECT
public:
    explicit TKOV_HiddenMainForm(QObject* AParent = nullptr);
    ~TKOV_HiddenMainForm() override;

    // Calls Execute once and returns after it: inside the application's message loop
    // when an application object exists, otherwise at once (runs without a window).
    // An exception leaving Execute is passed on after the loop has ended.
    int Ausfuehren();

protected:
    virtual void Execute() = 0;

private:
    bool FAusgefuehrt = false;
};
