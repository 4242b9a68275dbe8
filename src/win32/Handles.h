// Move-only owners for the Win32 handle kinds the library uses; the invalid
// value is part of each kind, so a default-constructed owner holds nothing.
#pragma once

#include <windows.h>

#include <utility>

namespace kiv {

// Owns a handle of type Pointer that Close releases; Invalid is the value that holds nothing
// (an integer: INVALID_HANDLE_VALUE is no constant expression of a pointer type).
template <typename Pointer, auto Close, LONG_PTR Invalid = 0>
class UniqueHandle {
public:
    using pointer = Pointer;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer h) noexcept : h_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    pointer get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != None(); }

    pointer release() noexcept { return std::exchange(h_, None()); }
    void reset(pointer h = None()) noexcept {
        if (h_ != None()) Close(h_);
        h_ = h;
    }

private:
    static pointer None() noexcept { return reinterpret_cast<pointer>(Invalid); }
    pointer h_ = None();
};

using UniqueFind = UniqueHandle<HANDLE, ::FindClose, -1>;
using UniqueFile = UniqueHandle<HANDLE, ::CloseHandle, -1>;
using UniqueKernelObject = UniqueHandle<HANDLE, ::CloseHandle>;  // events, threads, timers: null for none
using UniqueGdiObject = UniqueHandle<HGDIOBJ, ::DeleteObject>;
using UniqueMemoryDc = UniqueHandle<HDC, ::DeleteDC>;
using UniqueModule = UniqueHandle<HMODULE, ::FreeLibrary>;
using UniqueRegKey = UniqueHandle<HKEY, ::RegCloseKey>;

// Runs a one-off clean-up when the scope ends, unless released first.
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) noexcept : f_(std::move(f)) {}
    ~ScopeExit() {
        if (armed_) f_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

    // The work succeeded: nothing to clean up.
    void release() noexcept { armed_ = false; }

private:
    F f_;
    bool armed_ = true;
};

}  // namespace kiv
