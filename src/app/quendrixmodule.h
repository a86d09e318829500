#pragma once
// Registration of the program's evaluation classes.

// Appends the eight evaluation classes to the registry in their fixed order. Called
// once at the start of main; C++ fixes no order for static initialisers across
// translation units, so registration is explicit.
void QuendrixAuswertungenRegistrieren();
