#pragma once
// Owns one COM reference.
#include <unknwn.h>

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  explicit ComRef(T* p) : m_p(p) {}  // takes over a reference the caller holds
  ~ComRef() { Reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;

  T* Get() const { return m_p; }
  T* operator->() const { return m_p; }
  T** Put() {
    Reset();
    return &m_p;
  }
  T* Detach() {
    T* p = m_p;
    m_p = nullptr;
    return p;
  }
  void Reset() {
    if (m_p) m_p->Release();
    m_p = nullptr;
  }

 private:
  T* m_p = nullptr;
};
