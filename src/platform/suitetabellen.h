#pragma once
// Suite tables shared by several evaluations: the branch table, the seller table,
// the client list service with its server factory, the network computers and the
// settings masks. All read the installation's database (RDLProgramm().Datenbank()).
#include "rdldatenbank.h"
#include "rdltyco.h"
#include <memory>
#include <string>
#include <vector>

// --- branches ------------------------------------------------------------------------

class TFiliale {
public:
    int16_t Nr = 0;            // branch number
    TIntPair Mandant;          // owning client
    TIntPair OrgeID;           // identifier within the client
    std::string Name;
    std::string Waehrung = "EUR";
    bool LVBenutzen = false;
    bool OwnerGep = false;
    bool Versandfiliale = false;

    const std::string& GetWaehrung() const { return Waehrung; }
    bool LV_Benutzen_Get() const { return LVBenutzen; }
    bool OwnerIsGep() const { return OwnerGep; }
};

class TFilialen {
public:
    int GetCount() const { return int(FListe.size()); }
    const TFiliale* GetItem(int AIdx) const;   // table order; raises on a bad index
    const TFiliale* GetFilialeByNr(int ANr) const;
    const TFiliale* GetFilialeByGepOrge(const TIntPair& AMandant, const TIntPair& AOrgeID) const;
    void Laden(TRDLDatenbank& ADb);

private:
    std::vector<TFiliale> FListe; // ordered by branch number
};

class TFilialTabelle {
public:
    explicit TFilialTabelle(TRDLDatenbank& ADb) { FFilialen.Laden(ADb); }
    TFilialen& Filialen() { return FFilialen; }
    const TFilialen& Filialen() const { return FFilialen; }

private:
    TFilialen FFilialen;
};

// The shared instance: every taker releases once; the last release frees it.
TFilialTabelle* GlobFilialTabelle_GetInstance();
void GlobFilialTabelle_ReleaseInstance(TFilialTabelle*& AInstanz);

// --- sellers -------------------------------------------------------------------------

struct TVknInfo {
    int32_t VkNr = 0;          // seller number
    TIntPair GepNr;            // identity pair
    std::string Nachname;
    std::string Vorname;
    int16_t Filiale = 0;
    TIntPair Mandant;
    bool Praemienberechtigt = false; // entitled to sales bonuses

    void AssignFrom(const TVknInfo& AOther) { *this = AOther; }
};

// VknTab_Init before and VknTab_Done after use (counted, so nested users are fine).
void VknTab_Init();
void VknTab_Done();
bool VknTab_GetEqual(int32_t AVkNr, TVknInfo& AInfo);
bool VknTab_GepGetEqual(const TIntPair& AGepNr, TVknInfo& AInfo);
bool VknTab_GetFirst(TVknInfo& AInfo);
bool VknTab_GetNext(TVknInfo& AInfo);

// --- clients -------------------------------------------------------------------------

struct TMandant {
    TIntPair Key;
    std::string Name;
};

class IRDL_MandListeServer {
public:
    virtual ~IRDL_MandListeServer() = default;
    virtual int GetCount() const = 0;
    virtual const TMandant& GetMandant(int AIdx) const = 0; // raises on a bad index
    virtual int IndexOf(const TIntPair& AKey) const = 0;    // -1 when unknown
    // The client record for a key; an empty record with the key when unknown.
    virtual TMandant GetMandantByKey(const TIntPair& AKey) const = 0;
};

class IRDL_BKListeServer;   // rdlbeleg.h
class IRDL_BelegEditServer; // rdlbeleg.h

// The suite's server factory: servers are taken and handed back after use.
class TRDLServerFactory {
public:
    static IRDL_MandListeServer* MandListeServer_Get();
    static void MandListeServer_Release(IRDL_MandListeServer*& AServer);
    static IRDL_BKListeServer* BKListeServer_Get();
    static void BKListeServer_Release(IRDL_BKListeServer*& AServer);
    static IRDL_BelegEditServer* BelegEditServer_Get();
    static void BelegEditServer_Release(IRDL_BelegEditServer*& AServer);
};
using Glob_WWSServerFactoryClass = TRDLServerFactory;
using Glob_BasisDatenFactory_Class = TRDLServerFactory;

// --- network computers ---------------------------------------------------------------

struct TRVRInfoUmfang {
    int32_t Rechner = 0;
    std::string Name;
    int16_t Filiale = 0;
};

class TRVRTab {
public:
    static int GetUmfangCount();
    static TRVRInfoUmfang GetUmfang(int AIdx); // in computer-number order
    // Every computer in computer-number order, in one read (a round trip each on a server).
    static std::vector<TRVRInfoUmfang> Alle();
};

// --- origins of sales lines ----------------------------------------------------------

// Number of origins: 0 stationary (the tills), 1..53 online platforms.
inline constexpr int CRDL_AnzahlHerkunftskennzeichen = 54;
// The names of the origins by number, read from the table plattform: entry 0
// "stationär"; a platform without a row is "Plattform <n>".
std::vector<std::string> CRDL_Herkunftskennzeichen_2_string();
// One name; a number outside 0..53 gives "Plattform <n>" too.
std::string Plattform_2_String(int AHerkunft);

// --- the shared instances -------------------------------------------------------------

// What the branch and seller tables share between their takers. It belongs to the
// program object, so that a new program object (a test) starts without it.
struct TGeteilteFilialTabelle {
    std::unique_ptr<TFilialTabelle> Instanz;
    const TRDLDatenbank* Db = nullptr;
    int Nutzer = 0;
};
struct TVknTabelle {
    std::vector<TVknInfo> Liste; // by seller number
    int Nutzer = 0;
    size_t Position = 0;
};
struct TSuiteTabellen {
    TGeteilteFilialTabelle Filialen;
    TVknTabelle Verkaeufer;
};

// --- settings masks ------------------------------------------------------------------

// Values of a settings mask, installation-wide or per workstation.
class TSimpleMask {
public:
    TSimpleMask(std::string ABereich, std::string ASektion)
        : FBereich(std::move(ABereich)), FSektion(std::move(ASektion)) {}
    std::string ReadGlobalDef(const std::string& AKey, const std::string& ADefault) const;
    void WriteGlobal(const std::string& AKey, const std::string& AWert) const;
    // Per workstation (RDLInfoTerminalID).
    std::string ReadTerminalDef(const std::string& AKey, const std::string& ADefault) const;
    void WriteTerminal(const std::string& AKey, const std::string& AWert) const;

private:
    std::string Lesen(const std::string& ATerminal, const std::string& AKey, const std::string& ADefault) const;
    void Schreiben(const std::string& ATerminal, const std::string& AKey, const std::string& AWert) const;
    std::string FBereich;
    std::string FSektion;
};
