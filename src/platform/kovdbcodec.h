#pragma once
// Column mapping of the field value types (included by kovdbclass.h).

template <class I>
struct TIntCodec {
    static constexpr size_t Spalten = 1;
    static I Leer() { return 0; }
    static I Kleinster() { return std::numeric_limits<I>::min(); }
    static I Groesster() { return std::numeric_limits<I>::max(); }
    static void Binden(IRDLAbfrage& S, int i, I v) { S.BindInt(i, int64_t(v)); }
    static void Lesen(const IRDLAbfrage& S, int c, I& v) { v = I(S.Int(c)); }
};
template <> struct TFeldCodec<int16_t> : TIntCodec<int16_t> {};
template <> struct TFeldCodec<int32_t> : TIntCodec<int32_t> {};
template <> struct TFeldCodec<int64_t> : TIntCodec<int64_t> {};

template <> struct TFeldCodec<bool> {
    static constexpr size_t Spalten = 1;
    static bool Leer() { return false; }
    static bool Kleinster() { return false; }
    static bool Groesster() { return true; }
    static void Binden(IRDLAbfrage& S, int i, bool v) { S.BindInt(i, int64_t(v ? 1 : 0)); }
    static void Lesen(const IRDLAbfrage& S, int c, bool& v) { v = S.Int(c) != 0; }
};

template <> struct TFeldCodec<double> {
    static constexpr size_t Spalten = 1;
    static double Leer() { return 0.0; }
    static double Kleinster() { return std::numeric_limits<double>::lowest(); }
    static double Groesster() { return std::numeric_limits<double>::max(); }
    static void Binden(IRDLAbfrage& S, int i, double v) { S.BindDouble(i, v); }
    static void Lesen(const IRDLAbfrage& S, int c, double& v) { v = S.Double(c); }
};

template <> struct TFeldCodec<std::string> {
    static constexpr size_t Spalten = 1;
    static std::string Leer() { return {}; }
    static std::string Kleinster() { return {}; }
    // Text keys compare bytewise on both stores; U+10FFFF is the highest valid character.
    static std::string Groesster() {
        std::string r;
        for (int i = 0; i < 8; ++i) r += "\xF4\x8F\xBF\xBF";
        return r;
    }
    static void Binden(IRDLAbfrage& S, int i, const std::string& v) { S.BindText(i, v); }
    static void Lesen(const IRDLAbfrage& S, int c, std::string& v) { v.assign(S.Text(c)); }
};

// A single character, stored as a one-character text ('' for the NUL character).
template <> struct TFeldCodec<char> {
    static constexpr size_t Spalten = 1;
    static char Leer() { return '\0'; }
    static char Kleinster() { return '\0'; }
    static char Groesster() { return '\x7F'; }
    static void Binden(IRDLAbfrage& S, int i, char v) { S.BindText(i, v ? std::string_view(&v, 1) : std::string_view()); }
    static void Lesen(const IRDLAbfrage& S, int c, char& v) {
        const auto t = S.Text(c);
        v = t.empty() ? '\0' : t[0];
    }
};

template <> struct TFeldCodec<TBlobDaten> {
    static constexpr size_t Spalten = 1;
    static TBlobDaten Leer() { return {}; }
    static TBlobDaten Kleinster() { return {}; }
    static TBlobDaten Groesster() { return {}; }
    static void Binden(IRDLAbfrage& S, int i, const TBlobDaten& v) { S.BindBlob(i, v.Bytes); }
    static void Lesen(const IRDLAbfrage& S, int c, TBlobDaten& v) { v.Bytes = S.Blob(c); }
};

template <> struct TFeldCodec<TIntPair> {
    static constexpr size_t Spalten = 2;
    static TIntPair Leer() { return {}; }
    static TIntPair Kleinster() { return {INT32_MIN, INT32_MIN}; }
    static TIntPair Groesster() { return {INT32_MAX, INT32_MAX}; }
    static void Binden(IRDLAbfrage& S, int i, const TIntPair& v) { S.BindInt(i, int64_t(v.A)); S.BindInt(i + 1, int64_t(v.B)); }
    static void Lesen(const IRDLAbfrage& S, int c, TIntPair& v) {
        v.A = int32_t(S.Int(c));
        v.B = int32_t(S.Int(c + 1));
    }
};

template <> struct TFeldCodec<TIntTrio> {
    static constexpr size_t Spalten = 3;
    static TIntTrio Leer() { return {}; }
    static TIntTrio Kleinster() { return {INT32_MIN, INT32_MIN, INT16_MIN}; }
    static TIntTrio Groesster() { return {INT32_MAX, INT32_MAX, INT16_MAX}; }
    static void Binden(IRDLAbfrage& S, int i, const TIntTrio& v) {
        S.BindInt(i, int64_t(v.A)); S.BindInt(i + 1, int64_t(v.B)); S.BindInt(i + 2, int64_t(v.C));
    }
    static void Lesen(const IRDLAbfrage& S, int c, TIntTrio& v) {
        v.A = int32_t(S.Int(c));
        v.B = int32_t(S.Int(c + 1));
        v.C = int16_t(S.Int(c + 2));
    }
};

template <> struct TFeldCodec<TInt32Trio> {
    static constexpr size_t Spalten = 3;
    static TInt32Trio Leer() { return {}; }
    static TInt32Trio Kleinster() { return {INT32_MIN, INT32_MIN, INT32_MIN}; }
    static TInt32Trio Groesster() { return {INT32_MAX, INT32_MAX, INT32_MAX}; }
    static void Binden(IRDLAbfrage& S, int i, const TInt32Trio& v) {
        S.BindInt(i, int64_t(v.A)); S.BindInt(i + 1, int64_t(v.B)); S.BindInt(i + 2, int64_t(v.C));
    }
    static void Lesen(const IRDLAbfrage& S, int c, TInt32Trio& v) {
        v.A = int32_t(S.Int(c));
        v.B = int32_t(S.Int(c + 1));
        v.C = int32_t(S.Int(c + 2));
    }
};
