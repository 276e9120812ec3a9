#pragma once
#include <utility>

namespace quirn::com {

// Holds one reference to an interface and releases it when it goes.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For a call that hands out a reference: releases the current one first.
    void** out() {
        reset();
        return reinterpret_cast<void**>(&p_);
    }
    T** address() {
        reset();
        return &p_;
    }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

  private:
    T* p_ = nullptr;
};

}  // namespace quirn::com
