#pragma once
// Variant: the value type of late-bound calls and events, and the string
// conversions between wide (UTF-16) and narrow (single-byte) text.
#include "kom/unknown.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace kom {

class IDispatch;

enum class VarType : uint16_t {
    Empty,
    Null,
    Bool,      // -1 true, 0 false
    I4,        // signed 32-bit
    R8,        // double
    BStr,      // wide string
    Unknown,   // IUnknown*
    Dispatch,  // IDispatch*
    ByRefI4,   // int32_t* (out-parameters)
    ByRefBStr, // std::u16string* (in/out strings)
};

class Variant {
public:
    Variant() = default;
    Variant(bool b) : v_(static_cast<int16_t>(b ? -1 : 0)) {}
    Variant(int32_t i) : v_(i) {}
    Variant(double d) : v_(d) {}
    Variant(std::u16string s) : v_(std::move(s)) {}
    Variant(std::u16string_view s) : v_(std::u16string(s)) {}
    Variant(const char16_t* s) : v_(std::u16string(s ? s : u"")) {}
    Variant(const char*) = delete; // say fromUtf8 or use a u"" literal

    static Variant null();
    static Variant fromUtf8(std::string_view s);
    static Variant unknown(IUnknown* p);
    static Variant dispatch(IDispatch* p);
    static Variant byRef(int32_t* p);
    static Variant byRef(std::u16string* p);

    VarType type() const;
    bool isEmpty() const { return type() == VarType::Empty; }

    // Coercions in the manner of late-bound argument conversion. Failures are
    // DISP_E_TYPEMISMATCH (no conversion) or DISP_E_OVERFLOW (out of range).
    // Doubles round to nearest, ties to even. By-reference values are read
    // through their pointer.
    HRESULT toInt32(int32_t& out) const;
    HRESULT toBool(bool& out) const;
    HRESULT toString(std::u16string& out) const;

    // Convenience reads; a value that does not convert gives the fallback.
    int32_t int32Or(int32_t fallback) const;
    std::u16string stringOr(const std::u16string& fallback) const;
    std::string utf8() const; // string value as UTF-8, or "" if not convertible

    // Direct access (nullptr when the variant holds another type).
    IUnknown* unknownPtr() const;
    IDispatch* dispatchPtr() const;
    int32_t* byRefI4() const;
    std::u16string* byRefBStr() const;

    friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

private:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) { return true; }
    };
    struct DispatchRef {
        ComPtr<IUnknown> p; // holds the IDispatch through its IUnknown base
        friend bool operator==(const DispatchRef& a, const DispatchRef& b) { return a.p.get() == b.p.get(); }
    };
    struct UnknownRef {
        ComPtr<IUnknown> p;
        friend bool operator==(const UnknownRef& a, const UnknownRef& b) { return a.p.get() == b.p.get(); }
    };
    std::variant<std::monostate, NullTag, int16_t, int32_t, double, std::u16string, UnknownRef, DispatchRef, int32_t*,
                 std::u16string*>
        v_;
};

// UTF-8 <-> UTF-16. Malformed input becomes U+FFFD.
std::u16string utf8ToWide(std::string_view s);
std::string wideToUtf8(std::u16string_view s);

// The single-byte code page (ISO 8859-1): wide to narrow stops at the first
// NUL and maps every character beyond U+00FF to '?' (a surrogate pair counts
// as one character); narrow to wide maps each byte to the same code point.
std::string wideToNarrow(std::u16string_view s);
std::u16string narrowToWide(std::string_view s);
// Narrow text as UTF-8 (for printing).
std::string narrowToUtf8(std::string_view s);

} // namespace kom
