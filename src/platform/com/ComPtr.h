// A counted reference to a COM interface. Copying adds a reference, the
// destructor releases it; attach/detach move ownership of a raw reference
// without counting, as out parameters and factory results need.
#pragma once

#include <cstddef>
#include <utility>

#include "platform/com/Unknown.h"

namespace qv::com {

// The interface id of T (its static `Iid`).
template <class T>
constexpr const IID& uuidOf() {
  return T::Iid;
}

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Shares the reference: adds one.
  ComPtr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <class U>
  ComPtr(const ComPtr<U>& o) : ComPtr(static_cast<T*>(o.get())) {}
  ~ComPtr() { reset(); }

  ComPtr& operator=(const ComPtr& o) {
    ComPtr(o).swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& o) noexcept {
    ComPtr(std::move(o)).swap(*this);
    return *this;
  }
  ComPtr& operator=(T* p) {
    ComPtr(p).swap(*this);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) {
    reset();
    return *this;
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }

  void reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  void swap(ComPtr& o) noexcept { std::swap(p_, o.p_); }

  // Takes over a reference the caller owns (no AddRef).
  void attach(T* p) {
    reset();
    p_ = p;
  }
  // Gives up the reference without releasing it.
  [[nodiscard]] T* detach() { return std::exchange(p_, nullptr); }

  // The address of the pointer for an out parameter; the old reference is
  // released first, so the callee's reference is not leaked or doubled.
  T** put() {
    reset();
    return &p_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }

  // Hands a new reference to an out parameter.
  HRESULT copyTo(T** out) const {
    if (!out) return E_POINTER;
    *out = p_;
    if (p_) p_->AddRef();
    return S_OK;
  }

  // Asks the object for another interface.
  template <class U>
  HRESULT queryInterface(ComPtr<U>& out) const {
    if (!p_) {
      out.reset();
      return E_POINTER;
    }
    return p_->QueryInterface(uuidOf<U>(), out.putVoid());
  }
  template <class U>
  ComPtr<U> as() const {
    ComPtr<U> out;
    queryInterface(out);
    return out;
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

 private:
  T* p_ = nullptr;
};

// Wraps a reference the caller already owns.
template <class T>
ComPtr<T> adopt(T* p) {
  ComPtr<T> r;
  r.attach(p);
  return r;
}

}  // namespace qv::com
