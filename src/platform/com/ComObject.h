// A base for objects that implement one or more interfaces with one shared
// reference count. QueryInterface answers every listed interface and the
// interfaces they extend; IUnknown is always the first listed interface's, so
// identity comparisons through IUnknown hold.
#pragma once

#include <atomic>
#include <type_traits>
#include <utility>

#include "platform/com/ComPtr.h"

namespace qv::com {

namespace detail {
template <class I>
constexpr bool extendsIid(REFIID riid) {
  if (riid == I::Iid) return true;
  if constexpr (!std::is_void_v<typename I::Base>) return extendsIid<typename I::Base>(riid);
  return false;
}
}  // namespace detail

template <class First, class... More>
class ComObject : public First, public More... {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown) {
      *ppv = static_cast<IUnknown*>(static_cast<First*>(this));
    } else {
      find<First, More...>(riid, ppv);
      if (!*ppv) *ppv = queryOther(riid);
    }
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // The current count, for tests of lifetimes.
  ULONG refCount() const { return refs_; }

 protected:
  virtual ~ComObject() = default;
  // Further interfaces that a derived object answers (not counted here: the
  // caller adds the reference). Return the interface pointer or nullptr.
  virtual void* queryOther(REFIID) { return nullptr; }

 private:
  template <class I, class... Rest>
  void find(REFIID riid, void** ppv) {
    if (detail::extendsIid<I>(riid)) {
      *ppv = static_cast<I*>(this);
      return;
    }
    if constexpr (sizeof...(Rest) > 0) find<Rest...>(riid, ppv);
  }

  std::atomic<ULONG> refs_{0};
};

// Creates an object and returns its first counted reference.
template <class T, class... Args>
ComPtr<T> makeObject(Args&&... args) {
  return ComPtr<T>(new T(std::forward<Args>(args)...));
}

}  // namespace qv::com
