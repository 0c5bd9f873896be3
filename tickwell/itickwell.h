#pragma once
// ITickwellCtl: the control's dual interface. Late-bound callers use the
// dispatch identifiers in tickwell_ids.h; code in the same process may call
// these slots directly. `Key` points to a wide string (null counts as empty).
#include "kom/dispatch.h"
#include "tickwell/tickwell_ids.h"

namespace tickwell {

class ITickwellCtl : public kom::IDispatch {
public:
    virtual kom::HRESULT get_Interval(const std::u16string* Key, int32_t* pVal) = 0;
    virtual kom::HRESULT put_Interval(const std::u16string* Key, int32_t newVal) = 0;
    virtual kom::HRESULT get_Enabled(const std::u16string* Key, int32_t* pVal) = 0;
    virtual kom::HRESULT put_Enabled(const std::u16string* Key, int32_t newVal) = 0;
    virtual kom::HRESULT Add(const std::u16string* Key, int32_t Interval, int32_t Enabled) = 0;
    virtual kom::HRESULT Remove(const std::u16string* Key) = 0;
    virtual kom::HRESULT RemoveALL() = 0;
    virtual kom::HRESULT get_Count(int32_t* pVal) = 0;
    virtual kom::HRESULT get_exist(const std::u16string* Key, int32_t* pVal) = 0;
    virtual kom::HRESULT GetObject(int32_t* val) = 0;

protected:
    ~ITickwellCtl() = default;
};

} // namespace tickwell
