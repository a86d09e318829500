#pragma once
// The wait display: a small window with one text while a long load runs. In runs
// without dialogs the text is a terminal line instead (see rdlprogress.h).
#include "rdlprogress.h"
#include <memory>
#include <string>

class TfrmWartemaske {
public:
    explicit TfrmWartemaske(QWidget* AOwner = nullptr);
    ~TfrmWartemaske();
    TfrmWartemaske(const TfrmWartemaske&) = delete;
    TfrmWartemaske& operator=(const TfrmWartemaske&) = delete;

    // Shows the display with the text (the window is painted at once, since the caller
    // usually blocks the event loop next).
    void Set_Text(const std::string& AText);
    const std::string& Text() const { return FText; }
    void Show();
    void Hide();
    bool Showing() const { return FSichtbar; }
    bool MitFenster() const { return FFenster != nullptr; }
    QWidget* Fenster() const;

private:
    void Aktualisieren();
    struct TFenster;
    QWidget* FOwner;
    std::string FText;
    bool FSichtbar = false;
    std::unique_ptr<TFenster> FFenster;
    TRDLTerminalZeile FZeile;
};
