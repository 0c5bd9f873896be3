#pragma once
// Basic vocabulary of the component-object layer: status codes, identifiers.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kom {

using HRESULT = int32_t;
using DISPID = int32_t;
using LCID = uint32_t;

constexpr HRESULT hr(uint32_t code) { return static_cast<HRESULT>(code); }

// Success codes. S_FALSE is a success: callers that only test for failure see
// no error.
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;

inline constexpr HRESULT E_NOTIMPL = hr(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = hr(0x80004002u);
inline constexpr HRESULT E_POINTER = hr(0x80004003u);
inline constexpr HRESULT E_FAIL = hr(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = hr(0x8000FFFFu);
inline constexpr HRESULT E_OUTOFMEMORY = hr(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = hr(0x80070057u);
inline constexpr HRESULT E_ACCESSDENIED = hr(0x80070005u);

inline constexpr HRESULT CLASS_E_NOAGGREGATION = hr(0x80040110u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = hr(0x80040111u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = hr(0x80040154u);
inline constexpr HRESULT CO_E_CLASSSTRING = hr(0x800401F3u);
inline constexpr HRESULT CO_E_DLLNOTFOUND = hr(0x800401F8u);
inline constexpr HRESULT CO_E_ERRORINDLL = hr(0x800401F9u);
inline constexpr HRESULT SELFREG_E_CLASS = hr(0x80040201u);
inline constexpr HRESULT TYPE_E_LIBNOTREGISTERED = hr(0x8002801Du);

inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = hr(0x80020003u);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = hr(0x80020005u);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = hr(0x80020006u);
inline constexpr HRESULT DISP_E_OVERFLOW = hr(0x8002000Au);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = hr(0x8002000Eu);

inline constexpr HRESULT CONNECT_E_NOCONNECTION = hr(0x80040200u);
inline constexpr HRESULT CONNECT_E_CANNOTCONNECT = hr(0x80040202u);

inline constexpr HRESULT STG_E_WRITEFAULT = hr(0x8003001Du);
inline constexpr HRESULT STG_E_READFAULT = hr(0x8003001Eu);

constexpr bool SUCCEEDED(HRESULT h) { return h >= 0; }
constexpr bool FAILED(HRESULT h) { return h < 0; }

// A 128-bit identifier, written "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    std::array<uint8_t, 8> data4{};

    friend constexpr bool operator==(const Guid&, const Guid&) = default;
    friend constexpr auto operator<=>(const Guid&, const Guid&) = default;

    // Compile-time parse of a well-formed literal (with or without braces);
    // a malformed literal does not compile when used in a constant expression.
    static consteval Guid literal(std::string_view s)
    {
        auto parsed = parse(s);
        if (!parsed)
            throw "malformed identifier literal";
        return *parsed;
    }

    // Parses "{8-4-4-4-12}" hex digits, braces optional, any letter case.
    static constexpr std::optional<Guid> parse(std::string_view s)
    {
        if (s.size() == 38) {
            if (s.front() != '{' || s.back() != '}')
                return std::nullopt;
            s = s.substr(1, 36);
        }
        if (s.size() != 36 || s[8] != '-' || s[13] != '-' || s[18] != '-' || s[23] != '-')
            return std::nullopt;
        auto hex = [&](size_t pos, size_t n, uint64_t& out) {
            out = 0;
            for (size_t i = pos; i < pos + n; ++i) {
                char c = s[i];
                int v = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
                if (v < 0)
                    return false;
                out = out * 16 + static_cast<uint64_t>(v);
            }
            return true;
        };
        Guid g;
        uint64_t v = 0;
        if (!hex(0, 8, v))
            return std::nullopt;
        g.data1 = static_cast<uint32_t>(v);
        if (!hex(9, 4, v))
            return std::nullopt;
        g.data2 = static_cast<uint16_t>(v);
        if (!hex(14, 4, v))
            return std::nullopt;
        g.data3 = static_cast<uint16_t>(v);
        for (size_t i = 0; i < 8; ++i) {
            size_t pos = i < 2 ? 19 + 2 * i : 24 + 2 * (i - 2);
            if (!hex(pos, 2, v))
                return std::nullopt;
            g.data4[i] = static_cast<uint8_t>(v);
        }
        return g;
    }

    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
    std::string toString() const;
};

using IID = Guid;
using CLSID = Guid;

} // namespace kom
