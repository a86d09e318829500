#pragma once
// A QApplication for the widgets of one test, unless one exists.
#include <QApplication>
#include <memory>

struct TQtApp {
    int Argc = 1;
    char Name[5] = "test";
    char* Argv[2] = {Name, nullptr};
    std::unique_ptr<QApplication> App;
    TQtApp() {
        if (!QCoreApplication::instance()) App = std::make_unique<QApplication>(Argc, Argv);
    }
};
