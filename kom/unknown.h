#pragma once
// IUnknown, the reference-counted base of every interface, and ComPtr.
#include "kom/types.h"

#include <atomic>
#include <utility>

namespace kom {

inline constexpr IID IID_IUnknown = Guid::literal("{00000000-0000-0000-C000-000000000046}");

// Every interface derives from IUnknown (singly), so an interface pointer and
// its IUnknown base share one address. Objects are destroyed by their own
// Release; interfaces are never deleted through.
class IUnknown {
public:
    virtual HRESULT QueryInterface(const IID& iid, void** out) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

// Owning interface pointer: AddRef on copy, Release on destruction.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference.
    explicit ComPtr(T* p) : p_(p)
    {
        if (p_)
            p_->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U>
    ComPtr(const ComPtr<U>& o) : ComPtr(static_cast<T*>(o.get()))
    {}
    ~ComPtr() { reset(); }

    ComPtr& operator=(const ComPtr& o)
    {
        if (this == &o)
            return *this;
        ComPtr(o).swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& o) noexcept
    {
        ComPtr(std::move(o)).swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t)
    {
        reset();
        return *this;
    }

    // Adopts a reference the caller already owns (no AddRef).
    static ComPtr adopt(T* p)
    {
        ComPtr c;
        c.p_ = p;
        return c;
    }

    void reset()
    {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }
    T* detach() { return std::exchange(p_, nullptr); }
    void swap(ComPtr& o) noexcept { std::swap(p_, o.p_); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For out-parameters: releases the held pointer, returns the slot.
    T** put()
    {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    // QueryInterface into another smart pointer.
    template <class U>
    HRESULT query(const IID& iid, ComPtr<U>& out) const
    {
        if (!p_)
            return E_POINTER;
        return p_->QueryInterface(iid, out.putVoid());
    }

private:
    T* p_ = nullptr;
};

// Queries `from` for `iid`; an empty pointer when unsupported.
template <class U>
ComPtr<U> queryAs(IUnknown* from, const IID& iid)
{
    ComPtr<U> out;
    if (from)
        from->QueryInterface(iid, out.putVoid());
    return out;
}

// Writes `p` to `*out` with a new reference, or reports E_NOINTERFACE.
template <class I>
HRESULT hand(I* p, void** out)
{
    if (!out)
        return E_POINTER;
    *out = p;
    if (!p)
        return E_NOINTERFACE;
    p->AddRef();
    return S_OK;
}

// Reference count for concrete objects: starts at zero; the creator takes the
// first reference.
class RefCount {
public:
    uint32_t add() { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    uint32_t release() { return refs_.fetch_sub(1, std::memory_order_acq_rel) - 1; }
    uint32_t value() const { return refs_.load(std::memory_order_relaxed); }

private:
    std::atomic<uint32_t> refs_{0};
};

// Creates a concrete object and takes its first reference.
template <class T, class... Args>
ComPtr<T> makeObject(Args&&... args)
{
    return ComPtr<T>(new T(std::forward<Args>(args)...));
}

} // namespace kom

// In a concrete class: AddRef/Release over a RefCount member `refs_`.
#define KOM_REFCOUNTED                                                                                                 \
    uint32_t AddRef() override { return refs_.add(); }                                                                 \
    uint32_t Release() override                                                                                        \
    {                                                                                                                  \
        uint32_t n = refs_.release();                                                                                  \
        if (n == 0)                                                                                                    \
            delete this;                                                                                               \
        return n;                                                                                                      \
    }                                                                                                                  \
    ::kom::RefCount refs_;
