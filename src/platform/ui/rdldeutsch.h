#pragma once
// Qt's own texts and formats in German: the buttons and titles of its dialogs (file
// dialogs, yes/no, print preview) and the month and day names of its widgets, whatever
// the process locale is.

#include <string>

// Installs Qt's German translations (qtbase_de.qm from AOrdner, by default Qt's
// translations folder) into the running application, once per application object, and
// makes German (Germany) the default locale of every widget created afterwards. Without
// an application object only the locale is set. A missing translation file is logged;
// the program goes on in Qt's English. True when the translations are installed.
bool RDLQtDeutschEinrichten(const std::string& AOrdner = {});
