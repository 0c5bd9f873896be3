#include "kom/variant.h"

#include "kom/dispatch.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kom {

Variant Variant::null()
{
    Variant v;
    v.v_ = NullTag{};
    return v;
}

Variant Variant::fromUtf8(std::string_view s) { return Variant(utf8ToWide(s)); }

Variant Variant::unknown(IUnknown* p)
{
    Variant v;
    v.v_ = UnknownRef{ComPtr<IUnknown>(p)};
    return v;
}

Variant Variant::dispatch(IDispatch* p)
{
    Variant v;
    v.v_ = DispatchRef{ComPtr<IUnknown>(static_cast<IUnknown*>(p))};
    return v;
}

Variant Variant::byRef(int32_t* p)
{
    Variant v;
    v.v_ = p;
    return v;
}

Variant Variant::byRef(std::u16string* p)
{
    Variant v;
    v.v_ = p;
    return v;
}

VarType Variant::type() const
{
    static constexpr VarType types[] = {VarType::Empty,   VarType::Null,     VarType::Bool,    VarType::I4,
                                        VarType::R8,      VarType::BStr,     VarType::Unknown, VarType::Dispatch,
                                        VarType::ByRefI4, VarType::ByRefBStr};
    return types[v_.index()];
}

namespace {

HRESULT parseInt32(std::u16string_view s, int32_t& out)
{
    std::string narrow;
    for (char16_t c : s) {
        if (c > 0x7F)
            return DISP_E_TYPEMISMATCH;
        narrow.push_back(static_cast<char>(c));
    }
    size_t b = narrow.find_first_not_of(" \t");
    size_t e = narrow.find_last_not_of(" \t");
    if (b == std::string::npos)
        return DISP_E_TYPEMISMATCH;
    std::string_view t(narrow.data() + b, e - b + 1);
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    int64_t v = 0;
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec == std::errc::result_out_of_range)
        return DISP_E_OVERFLOW;
    if (ec != std::errc() || p != t.data() + t.size())
        return DISP_E_TYPEMISMATCH;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return DISP_E_OVERFLOW;
    out = static_cast<int32_t>(v);
    return S_OK;
}

} // namespace

HRESULT Variant::toInt32(int32_t& out) const
{
    switch (type()) {
    case VarType::Bool:
        out = std::get<int16_t>(v_);
        return S_OK;
    case VarType::I4:
        out = std::get<int32_t>(v_);
        return S_OK;
    case VarType::ByRefI4:
        if (!std::get<int32_t*>(v_))
            return E_POINTER;
        out = *std::get<int32_t*>(v_);
        return S_OK;
    case VarType::Empty:
        out = 0;
        return S_OK;
    case VarType::R8: {
        double d = std::nearbyint(std::get<double>(v_)); // default rounding: ties to even
        if (!(d >= -2147483648.0 && d <= 2147483647.0))
            return DISP_E_OVERFLOW;
        out = static_cast<int32_t>(d);
        return S_OK;
    }
    case VarType::BStr:
        return parseInt32(std::get<std::u16string>(v_), out);
    case VarType::ByRefBStr:
        if (!std::get<std::u16string*>(v_))
            return E_POINTER;
        return parseInt32(*std::get<std::u16string*>(v_), out);
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

HRESULT Variant::toBool(bool& out) const
{
    int32_t i = 0;
    HRESULT h = toInt32(i);
    if (FAILED(h))
        return h;
    out = i != 0;
    return S_OK;
}

HRESULT Variant::toString(std::u16string& out) const
{
    switch (type()) {
    case VarType::BStr:
        out = std::get<std::u16string>(v_);
        return S_OK;
    case VarType::ByRefBStr:
        if (!std::get<std::u16string*>(v_))
            return E_POINTER;
        out = *std::get<std::u16string*>(v_);
        return S_OK;
    case VarType::Empty:
        out.clear();
        return S_OK;
    case VarType::Bool:
        out = std::get<int16_t>(v_) ? u"True" : u"False";
        return S_OK;
    case VarType::I4:
    case VarType::ByRefI4: {
        int32_t i = 0;
        HRESULT h = toInt32(i);
        if (FAILED(h))
            return h;
        out = utf8ToWide(std::to_string(i));
        return S_OK;
    }
    case VarType::R8: {
        char buf[64];
        auto [p, ec] = std::to_chars(buf, buf + sizeof buf, std::get<double>(v_));
        (void)ec;
        out = utf8ToWide(std::string_view(buf, static_cast<size_t>(p - buf)));
        return S_OK;
    }
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

int32_t Variant::int32Or(int32_t fallback) const
{
    int32_t v = 0;
    return SUCCEEDED(toInt32(v)) ? v : fallback;
}

std::u16string Variant::stringOr(const std::u16string& fallback) const
{
    std::u16string s;
    return SUCCEEDED(toString(s)) ? s : fallback;
}

std::string Variant::utf8() const { return wideToUtf8(stringOr(u"")); }

IUnknown* Variant::unknownPtr() const
{
    if (auto* u = std::get_if<UnknownRef>(&v_))
        return u->p.get();
    if (auto* d = std::get_if<DispatchRef>(&v_))
        return d->p.get();
    return nullptr;
}

IDispatch* Variant::dispatchPtr() const
{
    if (auto* d = std::get_if<DispatchRef>(&v_))
        return static_cast<IDispatch*>(d->p.get());
    return nullptr;
}

int32_t* Variant::byRefI4() const
{
    auto* p = std::get_if<int32_t*>(&v_);
    return p ? *p : nullptr;
}

std::u16string* Variant::byRefBStr() const
{
    auto* p = std::get_if<std::u16string*>(&v_);
    return p ? *p : nullptr;
}

std::u16string utf8ToWide(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        uint32_t cp = 0xFFFD;
        size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
        }
        if (len > 1) {
            if (i + len > s.size()) {
                len = 1;
            } else {
                uint32_t v = c & (0x7F >> len);
                bool ok = true;
                for (size_t k = 1; k < len; ++k) {
                    auto cc = static_cast<unsigned char>(s[i + k]);
                    if ((cc & 0xC0) != 0x80) {
                        ok = false;
                        break;
                    }
                    v = (v << 6) | (cc & 0x3F);
                }
                static constexpr uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
                if (ok && v >= minimum[len] && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF))
                    cp = v;
                else
                    len = 1;
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

std::string wideToUtf8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::string wideToNarrow(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char16_t c = s[i];
        if (c == 0)
            break;
        if (c <= 0xFF) {
            out.push_back(static_cast<char>(static_cast<unsigned char>(c)));
        } else {
            out.push_back('?');
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
                ++i;
        }
    }
    return out;
}

std::u16string narrowToWide(std::string_view s)
{
    std::u16string out(s.size(), u'\0');
    for (size_t i = 0; i < s.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(s[i]));
    return out;
}

std::string narrowToUtf8(std::string_view s) { return wideToUtf8(narrowToWide(s)); }

} // namespace kom
