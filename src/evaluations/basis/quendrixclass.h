#pragma once
// The plug-in contract of the evaluation centre: the evaluation base class, its
// class references (descriptor objects with the class functions) and the registry
// in which every evaluation class enters itself.
#include "rdltyco.h"
#include <functional>
#include <memory>
#include <optional>
#include <string>

class TKOV_Quendrix_Auswertung;
class TKOV_Quendrix_AuswertungKlasse;

// A class reference: the descriptor of one evaluation class. Descriptors live for
// the whole run, so the pointer never dangles.
using TKOV_Quendrix_Auswertung_Class = const TKOV_Quendrix_AuswertungKlasse*;

// Releases an instance (Destroy). An evaluation's destructor may throw; the failure is
// registered under "TKOV_Quendrix_Auswertung.Destroy" instead of ending the program.
struct TKOV_Quendrix_AuswertungFreigabe {
    void operator()(TKOV_Quendrix_Auswertung* AAuswertung) const noexcept;
};
// An owned instance; its release always goes through TKOV_Quendrix_AuswertungFreigabe.
using TKOV_Quendrix_AuswertungPtr = std::unique_ptr<TKOV_Quendrix_Auswertung, TKOV_Quendrix_AuswertungFreigabe>;

// Creates an instance of one evaluation class: KOV_Erzeugen<TKOV_Quendrix_Umsatzauswertung>.
using TKOV_Quendrix_Erzeuger = TKOV_Quendrix_AuswertungPtr (*)();
template <class TAuswertung>
TKOV_Quendrix_AuswertungPtr KOV_Erzeugen() {
    return TKOV_Quendrix_AuswertungPtr(new TAuswertung());
}

// The class functions of an evaluation class, callable without an instance.
// Members without an override raise EAbstractError, like abstract class methods.
class TKOV_Quendrix_AuswertungKlasse {
public:
    virtual ~TKOV_Quendrix_AuswertungKlasse() = default;

    virtual std::string Kurzname() const;
    virtual std::string Bezeichnung() const;
    virtual std::string Beschreibung() const;
    virtual std::string Schlagworte() const;
    // True when the installation type is one of ActiveOnTypes.
    virtual bool Active() const;
    virtual TRTypen ActiveOnTypes() const;

    // True without any check for evaluations without a right of their own,
    // otherwise the result of the rights dialog for the path 441, AuswertungsRecht.
    bool RechtFuerAuswertungVorhanden() const;

    // Constructs an instance of the concrete class; a failure is registered and
    // gives nullptr.
    TKOV_Quendrix_AuswertungPtr Create() const;

protected:
    // The user right guarding the evaluation, 0 for none of its own.
    virtual TKOV_WPF_Recht AuswertungsRecht() const;
    virtual TKOV_Quendrix_AuswertungPtr Erzeugen() const = 0;
};

// Base of the descriptors: supplies the construction of TAuswertung. TBasis allows
// a descriptor to inherit the class functions of another evaluation's descriptor.
template <class TAuswertung, class TBasis = TKOV_Quendrix_AuswertungKlasse>
class TKOV_Quendrix_AuswertungKlasseVon : public TBasis {
protected:
    TKOV_Quendrix_AuswertungPtr Erzeugen() const override { return KOV_Erzeugen<TAuswertung>(); }
};

// The constants that make up most evaluation classes.
struct TKOV_Quendrix_AuswertungsKonstanten {
    std::string Kurzname;
    std::string Bezeichnung;
    std::string Beschreibung;
    std::string Schlagworte;
    TKOV_WPF_Recht AuswertungsRecht = 0;
    std::optional<TRTypen> ActiveOnTypes = std::nullopt; // empty: every installation type
};

// The one descriptor type of the evaluations: its class functions answer from
// constants. A class that differs in behaviour, not just in its constants, derives
// from it and overrides only that.
class TKOV_Quendrix_AuswertungsDeskriptor : public TKOV_Quendrix_AuswertungKlasse {
public:
    TKOV_Quendrix_AuswertungsDeskriptor(TKOV_Quendrix_Erzeuger AErzeuger, TKOV_Quendrix_AuswertungsKonstanten AKonstanten)
        : FErzeuger(AErzeuger), FKonstanten(std::move(AKonstanten)) {}

    std::string Kurzname() const override { return FKonstanten.Kurzname; }
    std::string Bezeichnung() const override { return FKonstanten.Bezeichnung; }
    std::string Beschreibung() const override { return FKonstanten.Beschreibung; }
    std::string Schlagworte() const override { return FKonstanten.Schlagworte; }
    TRTypen ActiveOnTypes() const override {
        return FKonstanten.ActiveOnTypes.value_or(TKOV_Quendrix_AuswertungKlasse::ActiveOnTypes());
    }

protected:
    TKOV_WPF_Recht AuswertungsRecht() const override { return FKonstanten.AuswertungsRecht; }
    TKOV_Quendrix_AuswertungPtr Erzeugen() const override { return FErzeuger(); }

private:
    TKOV_Quendrix_Erzeuger FErzeuger;
    TKOV_Quendrix_AuswertungsKonstanten FKonstanten;
};

// An evaluation instance. It exists only around one Init, one Execute or
// Autoreport and one Done; long-lived objects belong in Resources_Create.
class TKOV_Quendrix_Auswertung {
public:
    TKOV_Quendrix_Auswertung() = default;
    // May throw, so that a class whose clean-up can fail reports it: every derived
    // destructor inherits noexcept(false). TKOV_Quendrix_AuswertungFreigabe catches it.
    virtual ~TKOV_Quendrix_Auswertung() noexcept(false) = default;
    TKOV_Quendrix_Auswertung(const TKOV_Quendrix_Auswertung&) = delete;
    TKOV_Quendrix_Auswertung& operator=(const TKOV_Quendrix_Auswertung&) = delete;

    // Resources_Create, then Resources_AfterCreate, in one protected block.
    void Init();
    // Resources_BeforeDestroy and Resources_Destroy, each in its own protected block.
    void Done();

    // Runs Execute; a failure is registered and gives false.
    virtual bool Autoreport();
    // Opens the evaluation's window modally and returns when it closes.
    virtual bool Execute();

    // The class reference this instance was created from (nullptr when constructed
    // directly).
    TKOV_Quendrix_Auswertung_Class ClassType() const { return FKlasse; }

protected:
    virtual void Resources_Create() {}
    virtual void Resources_Destroy() {}
    virtual void Resources_AfterCreate() {}
    virtual void Resources_BeforeDestroy() {}

private:
    friend class TKOV_Quendrix_AuswertungKlasse;
    TKOV_Quendrix_Auswertung_Class FKlasse = nullptr;
};

// Callback of the enumeration: the class and its registration index.
using TEnumAKQuendrixAuswerterProc =
    std::function<void(TKOV_Quendrix_Auswertung_Class AQuendrixAuswerterClass, int AIdx)>;

// The registry of evaluation classes, in registration order. Never instantiated.
class TKOV_Glob_Quendrix_Controller {
public:
    TKOV_Glob_Quendrix_Controller() = delete;

    // Appends the class; no test for duplicates.
    static void RegisterAuswerter(TKOV_Quendrix_Auswertung_Class AAuswerterClass);
    // Calls AEnumProc for every class registered when the enumeration starts.
    static void EnumQuendrixAuswerter(const TEnumAKQuendrixAuswerterProc& AEnumProc);
    static bool GetAuswerterByIdx(int AIdx, TKOV_Quendrix_Auswertung_Class& AAuswerterClass);
    // First class whose Kurzname equals AKurzname, ignoring the case of ASCII letters.
    static bool GetAuswerterByKurzname(const std::string& AKurzname,
                                       TKOV_Quendrix_Auswertung_Class& AAuswerterClass);
    static int Anzahl();
    // Empties the registry (program end, and tests that fill it with their own classes).
    static void Leeren();
};

// The message every evaluation shows while its window is not built yet.
bool KOV_AuswertungNochNichtVerfuegbar();
