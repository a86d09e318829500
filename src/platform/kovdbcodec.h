#pragma once
// Column mapping of the field value types (included by kovdbclass.h).
#include <sqlite3.h>

template <class I>
struct TIntCodec {
    static I Leer() { return 0; }
    static I Kleinster() { return std::numeric_limits<I>::min(); }
    static I Groesster() { return std::numeric_limits<I>::max(); }
    static void Binden(TRDLStatement& S, int i, I v) { S.Bind(i, int64_t(v)); }
    static void Lesen(sqlite3_stmt* S, int c, I& v) { v = I(sqlite3_column_int64(S, c)); }
};
template <> struct TFeldCodec<int16_t> : TIntCodec<int16_t> {};
template <> struct TFeldCodec<int32_t> : TIntCodec<int32_t> {};
template <> struct TFeldCodec<int64_t> : TIntCodec<int64_t> {};

template <> struct TFeldCodec<bool> {
    static bool Leer() { return false; }
    static bool Kleinster() { return false; }
    static bool Groesster() { return true; }
    static void Binden(TRDLStatement& S, int i, bool v) { S.Bind(i, int64_t(v ? 1 : 0)); }
    static void Lesen(sqlite3_stmt* S, int c, bool& v) { v = sqlite3_column_int64(S, c) != 0; }
};

template <> struct TFeldCodec<double> {
    static double Leer() { return 0.0; }
    static double Kleinster() { return std::numeric_limits<double>::lowest(); }
    static double Groesster() { return std::numeric_limits<double>::max(); }
    static void Binden(TRDLStatement& S, int i, double v) { S.Bind(i, v); }
    static void Lesen(sqlite3_stmt* S, int c, double& v) { v = sqlite3_column_double(S, c); }
};

template <> struct TFeldCodec<std::string> {
    static std::string Leer() { return {}; }
    static std::string Kleinster() { return {}; }
    static std::string Groesster() { return std::string(8, '\xFF'); }
    static void Binden(TRDLStatement& S, int i, const std::string& v) { S.Bind(i, v); }
    static void Lesen(sqlite3_stmt* S, int c, std::string& v) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(S, c));
        if (t) v.assign(t, size_t(sqlite3_column_bytes(S, c)));
        else v.clear();
    }
};

// A single character, stored as a one-character text ('' for the NUL character).
template <> struct TFeldCodec<char> {
    static char Leer() { return '\0'; }
    static char Kleinster() { return '\0'; }
    static char Groesster() { return '\x7F'; }
    static void Binden(TRDLStatement& S, int i, char v) { S.Bind(i, v ? std::string(1, v) : std::string()); }
    static void Lesen(sqlite3_stmt* S, int c, char& v) {
        const auto* t = sqlite3_column_text(S, c);
        v = (t && *t) ? char(*t) : '\0';
    }
};

template <> struct TFeldCodec<TBlobDaten> {
    static TBlobDaten Leer() { return {}; }
    static TBlobDaten Kleinster() { return {}; }
    static TBlobDaten Groesster() { return {}; }
    static void Binden(TRDLStatement& S, int i, const TBlobDaten& v) {
        sqlite3_bind_blob(S.Handle(), i, v.Bytes.data(), int(v.Bytes.size()), SQLITE_TRANSIENT);
    }
    static void Lesen(sqlite3_stmt* S, int c, TBlobDaten& v) {
        const auto* b = static_cast<const char*>(sqlite3_column_blob(S, c));
        if (b) v.Bytes.assign(b, size_t(sqlite3_column_bytes(S, c)));
        else v.Bytes.clear();
    }
};

template <> struct TFeldCodec<TIntPair> {
    static TIntPair Leer() { return {}; }
    static TIntPair Kleinster() { return {INT32_MIN, INT32_MIN}; }
    static TIntPair Groesster() { return {INT32_MAX, INT32_MAX}; }
    static void Binden(TRDLStatement& S, int i, const TIntPair& v) { S.Bind(i, int64_t(v.A)); S.Bind(i + 1, int64_t(v.B)); }
    static void Lesen(sqlite3_stmt* S, int c, TIntPair& v) {
        v.A = int32_t(sqlite3_column_int64(S, c));
        v.B = int32_t(sqlite3_column_int64(S, c + 1));
    }
};

template <> struct TFeldCodec<TIntTrio> {
    static TIntTrio Leer() { return {}; }
    static TIntTrio Kleinster() { return {INT32_MIN, INT32_MIN, INT16_MIN}; }
    static TIntTrio Groesster() { return {INT32_MAX, INT32_MAX, INT16_MAX}; }
    static void Binden(TRDLStatement& S, int i, const TIntTrio& v) {
        S.Bind(i, int64_t(v.A)); S.Bind(i + 1, int64_t(v.B)); S.Bind(i + 2, int64_t(v.C));
    }
    static void Lesen(sqlite3_stmt* S, int c, TIntTrio& v) {
        v.A = int32_t(sqlite3_column_int64(S, c));
        v.B = int32_t(sqlite3_column_int64(S, c + 1));
        v.C = int16_t(sqlite3_column_int64(S, c + 2));
    }
};

template <> struct TFeldCodec<TInt32Trio> {
    static TInt32Trio Leer() { return {}; }
    static TInt32Trio Kleinster() { return {INT32_MIN, INT32_MIN, INT32_MIN}; }
    static TInt32Trio Groesster() { return {INT32_MAX, INT32_MAX, INT32_MAX}; }
    static void Binden(TRDLStatement& S, int i, const TInt32Trio& v) {
        S.Bind(i, int64_t(v.A)); S.Bind(i + 1, int64_t(v.B)); S.Bind(i + 2, int64_t(v.C));
    }
    static void Lesen(sqlite3_stmt* S, int c, TInt32Trio& v) {
        v.A = int32_t(sqlite3_column_int64(S, c));
        v.B = int32_t(sqlite3_column_int64(S, c + 1));
        v.C = int32_t(sqlite3_column_int64(S, c + 2));
    }
};
