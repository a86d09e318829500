#pragma once
// The notifications of the PostgreSQL driver (LISTEN/NOTIFY), for rdlspeicher_pg.cpp only.
#include "rdlspeicher.h"
#include <libpq-fe.h>

// pg_notify in the session of AVerbindung: it follows that session's transaction.
void RDLPgBenachrichtigen(IRDLVerbindung& AVerbindung, const std::string& AKanal, const std::string& AText);
// A listener on a new connection with the options of AVorbild (password included).
std::unique_ptr<IRDLLauscher> RDLPgLauschen(PGconn* AVorbild, const std::string& AOrt, const std::string& AKanal);
