#pragma once
// The Qt windows of the progress displays (rdlprogress.h). The program's Qt run and the
// tests that show widgets install them; without them the displays use the terminal form.
#include "rdlprogress.h"

// Installs the Qt back-end; it shows windows while a QApplication exists.
void RDLProgressFenster_Installieren();
