// Owners of one Win32 resource each: non-copyable, movable, with the invalid value encoded in
// the type. Wrappers return the API's own status; nothing here throws.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <cstdio>
#include <utility>

namespace pm::win {

// InvalidBits is the invalid value's bit pattern (a pointer constant such as
// INVALID_HANDLE_VALUE cannot be a template argument).
template <typename T, std::intptr_t InvalidBits, typename Close>
class UniqueHandle {
    static T InvalidValue() { return reinterpret_cast<T>(InvalidBits); }

public:
    UniqueHandle() = default;
    explicit UniqueHandle(T h) : h_(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.Detach()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) Reset(o.Detach());
        return *this;
    }
    T Get() const { return h_; }
    T* Put() {
        Reset();
        return &h_;
    }
    explicit operator bool() const { return h_ != InvalidValue(); }
    void Attach(T h) { Reset(h); }
    T Detach() { return std::exchange(h_, InvalidValue()); }
    void Reset(T h = InvalidValue()) {
        if (h_ != InvalidValue()) Close{}(h_);
        h_ = h;
    }

private:
    T h_ = InvalidValue();
};

struct CloseHandleFn { void operator()(HANDLE h) const { ::CloseHandle(h); } };
struct RegCloseKeyFn { void operator()(HKEY h) const { ::RegCloseKey(h); } };
struct FreeLibraryFn { void operator()(HMODULE h) const { ::FreeLibrary(h); } };
struct DeleteObjectFn { void operator()(HGDIOBJ h) const { ::DeleteObject(h); } };
struct FcloseFn { void operator()(FILE* f) const { ::fclose(f); } };
struct FindCloseFn { void operator()(HANDLE h) const { ::FindClose(h); } };

// CreateFile gives INVALID_HANDLE_VALUE on failure; most other handles give NULL.
using FileHandle = UniqueHandle<HANDLE, -1, CloseHandleFn>;
using FindHandle = UniqueHandle<HANDLE, -1, FindCloseFn>;
using KernelHandle = UniqueHandle<HANDLE, 0, CloseHandleFn>;
using RegKey = UniqueHandle<HKEY, 0, RegCloseKeyFn>;
using Module = UniqueHandle<HMODULE, 0, FreeLibraryFn>;
using GdiObject = UniqueHandle<HGDIOBJ, 0, DeleteObjectFn>;
using CFile = UniqueHandle<FILE*, 0, FcloseFn>;

// CoInitialize/CoUninitialize as one pair.
class ComScope {
public:
    ComScope() : hr_(::CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};

// A COM interface pointer released on scope exit.
template <typename I>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    I* Get() const { return p_; }
    I* operator->() const { return p_; }
    void** PutVoid() {
        Reset();
        return reinterpret_cast<void**>(&p_);
    }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    I* p_ = nullptr;
};

// Runs a callable at scope exit, for one-off clean-ups.
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() { f_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F f_;
};

}  // namespace pm::win
