#pragma once
// The plug-in contract of the evaluation centre: the evaluation base class, its
// class references (descriptor objects with the class functions) and the registry
// in which every evaluation class enters itself.
#include "rdltyco.h"
#include <functional>
#include <memory>
#include <string>

class TKOV_Quendrix_Auswertung;
class TKOV_Quendrix_AuswertungKlasse;

// A class reference: the descriptor of one evaluation class. Descriptors live for
// the whole run, so the pointer never dangles.
using TKOV_Quendrix_Auswertung_Class = const TKOV_Quendrix_AuswertungKlasse*;

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
    std::unique_ptr<TKOV_Quendrix_Auswertung> Create() const;

protected:
    // The user right guarding the evaluation, 0 for none of its own.
    virtual TKOV_WPF_Recht AuswertungsRecht() const;
    virtual std::unique_ptr<TKOV_Quendrix_Auswertung> Erzeugen() const = 0;
};

// Base of the descriptors: supplies the construction of TAuswertung. TBasis allows
// a descriptor to inherit the class functions of another evaluation's descriptor.
template <class TAuswertung, class TBasis = TKOV_Quendrix_AuswertungKlasse>
class TKOV_Quendrix_AuswertungKlasseVon : public TBasis {
protected:
    std::unique_ptr<TKOV_Quendrix_Auswertung> Erzeugen() const override {
        return std::make_unique<TAuswertung>();
    }
};

// An evaluation instance. It exists only around one Init, one Execute or
// Autoreport and one Done; long-lived objects belong in Resources_Create.
class TKOV_Quendrix_Auswertung {
public:
    TKOV_Quendrix_Auswertung() = default;
    virtual ~TKOV_Quendrix_Auswertung() = default;
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
