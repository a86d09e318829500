#pragma once
// One exception hierarchy for the whole program. Everything the program raises
// derives from Exception, which derives from std::exception.
#include <exception>
#include <string>


class Exception : public std::exception {
public:
    explicit Exception(std::string msg) : FMessage(std::move(msg)) {}
    const char* what() const noexcept override { return FMessage.c_str(); }
    // Delphi-style class name, used in log lines ("EListError: ...").
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    std::string FMessage;
};

#define KOV_DECLARE_EXCEPTION(Name, Base)                                      \
    class Name : public Base {                                                 \
    public:                                                                    \
        using Base::Base;                                                      \
        const char* ClassName() const noexcept override { return #Name; }      \
    };

KOV_DECLARE_EXCEPTION(EArgumentOutOfRangeException, Exception)
KOV_DECLARE_EXCEPTION(EListError, Exception)
KOV_DECLARE_EXCEPTION(EConvertError, Exception)
KOV_DECLARE_EXCEPTION(EOutOfMemory, Exception)
KOV_DECLARE_EXCEPTION(EAbstractError, Exception)

#undef KOV_DECLARE_EXCEPTION

// What went wrong with the database, so that callers can choose an exit code or a
// reaction without parsing the text.
enum class TDbFehlerArt {
    Allgemein,        // a statement failed
    NichtGefunden,    // no such file or database
    IstOrdner,        // the path names a folder
    Fremd,            // not a database of this program
    Version,          // another schema version
    Beschaedigt,      // damaged, or a table of this program is missing
    Gesperrt,         // locked by another program beyond the busy wait
    KeinSchreibrecht, // no permission to write the file or its folder
    Verbindung,       // malformed address, server down, login refused
    Abgebrochen,      // the connection to the server was lost
};

// A database failure. what() is the German text for the user; the driver's code, its
// own (English) message and the SQL text are kept apart for the log.
class EDatenbankFehler : public Exception {
public:
    explicit EDatenbankFehler(std::string AText, TDbFehlerArt AArt = TDbFehlerArt::Allgemein,
                              std::string ACode = {}, std::string ADetails = {})
        : Exception(std::move(AText)), FArt(AArt), FCode(std::move(ACode)), FDetails(std::move(ADetails)) {}
    const char* ClassName() const noexcept override { return "EDatenbankFehler"; }
    TDbFehlerArt Art() const noexcept { return FArt; }
    const std::string& Code() const noexcept { return FCode; }       // SQLite result code or SQLSTATE
    const std::string& Details() const noexcept { return FDetails; } // driver message and SQL, log only

private:
    TDbFehlerArt FArt;
    std::string FCode;
    std::string FDetails;
};

// An error that carries a message-catalogue coordinate (group and number); its text is
// the catalogue text with the placeholders filled in.
class EKatalogFehler : public Exception {
public:
    EKatalogFehler(std::string kontext, std::string gruppe, int nummer, std::string text)
        : Exception(std::move(text)), FKontext(std::move(kontext)),
          FGruppe(std::move(gruppe)), FNummer(nummer) {}
    const char* ClassName() const noexcept override { return "EKatalogFehler"; }
    const std::string& Kontext() const noexcept { return FKontext; }
    const std::string& Gruppe() const noexcept { return FGruppe; }
    int Nummer() const noexcept { return FNummer; }

private:
    std::string FKontext;
    std::string FGruppe;
    int FNummer;
};

// Raised for a missing implementation of an abstract member.
[[noreturn]] inline void AbstractError() {
    throw EAbstractError("Abstrakter Fehler");
}

