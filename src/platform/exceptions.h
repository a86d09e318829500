#pragma once
// One exception hierarchy for the whole program. Everything the program raises
// derives from Exception, which derives from std::exception.
#include <exception>
#include <string>
#include <vector>


class Exception : public std::exception {
public:
    explicit Exception(std::string msg) : FMessage(std::move(msg)) {}
    const char* what() const noexcept override { return FMessage.c_str(); }
    const std::string& Message() const noexcept { return FMessage; }
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
KOV_DECLARE_EXCEPTION(EDatenbankFehler, Exception)

#undef KOV_DECLARE_EXCEPTION

// An error that carries a message-catalogue coordinate (group and number) and the
// arguments for the catalogue text's placeholders.
class EKatalogFehler : public Exception {
public:
    EKatalogFehler(std::string kontext, std::string gruppe, int nummer,
                   std::vector<std::string> args, std::string text)
        : Exception(std::move(text)), FKontext(std::move(kontext)),
          FGruppe(std::move(gruppe)), FNummer(nummer), FArgs(std::move(args)) {}
    const char* ClassName() const noexcept override { return "EKatalogFehler"; }
    const std::string& Kontext() const noexcept { return FKontext; }
    const std::string& Gruppe() const noexcept { return FGruppe; }
    int Nummer() const noexcept { return FNummer; }
    const std::vector<std::string>& Args() const noexcept { return FArgs; }

private:
    std::string FKontext;
    std::string FGruppe;
    int FNummer;
    std::vector<std::string> FArgs;
};

// Raised for a missing implementation of an abstract member.
[[noreturn]] inline void AbstractError() {
    throw EAbstractError("Abstrakter Fehler");
}

