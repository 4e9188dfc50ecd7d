#pragma once
// Growable buffers that reallocate in steps of a granularity, so that a buffer
// that shrinks and grows again within its capacity never touches the allocator.

#include <cstdlib>
#include <cstring>
#include <new>

class WDL_HeapBuf
{
public:
  explicit WDL_HeapBuf(int granularity = 4096) noexcept
    : m_granul(granularity > 0 ? granularity : 4096)
  {
  }
  ~WDL_HeapBuf() { std::free(m_buf); }

  WDL_HeapBuf(const WDL_HeapBuf& other)
    : m_granul(other.m_granul)
  {
    CopyFrom(&other);
  }
  WDL_HeapBuf& operator=(const WDL_HeapBuf& other)
  {
    if (this != &other) CopyFrom(&other);
    return *this;
  }

  void* Get() const noexcept { return m_size ? m_buf : nullptr; }
  int GetSize() const noexcept { return m_size; }
  int GetCapacity() const noexcept { return m_alloc; }
  int GetGranul() const noexcept { return m_granul; }
  void SetGranul(int granularity) noexcept
  {
    if (granularity > 0) m_granul = granularity;
  }

  // Sets the size in bytes and returns the data (null when the size is 0 or memory ran out).
  // Grows the allocation to the next multiple of the granularity; gives memory back on a
  // shrink only when resizedown is set and the new size needs fewer granules.
  void* Resize(int newsize, bool resizedown = true)
  {
    if (newsize < 0) newsize = 0;
    const int need = RoundUp(newsize);
    if (newsize > m_alloc || (resizedown && need < m_alloc))
    {
      if (need == 0)
      {
        std::free(m_buf);
        m_buf = nullptr;
        m_alloc = 0;
      }
      else
      {
        void* p = std::realloc(m_buf, static_cast<size_t>(need));
        if (!p) return nullptr;  // keep the old contents and size
        m_buf = p;
        m_alloc = need;
      }
    }
    m_size = newsize;
    return Get();
  }

  // Makes sure capacity for n bytes exists without changing the size.
  bool Reserve(int n)
  {
    if (n <= m_alloc) return true;
    const int size = m_size;
    if (!Resize(n, false)) return false;
    m_size = size;
    return true;
  }

  void CopyFrom(const WDL_HeapBuf* other, bool exactSizeOnly = false)
  {
    if (exactSizeOnly) m_granul = other->m_granul;
    void* p = Resize(other->m_size, false);
    if (p && other->m_size) std::memcpy(p, other->m_buf, static_cast<size_t>(other->m_size));
  }

private:
  int RoundUp(int n) const noexcept
  {
    if (n <= 0) return 0;
    const long long g = m_granul;
    long long r = ((n + g - 1) / g) * g;
    return r > 0x7fffffff ? 0x7fffffff : static_cast<int>(r);
  }

  void* m_buf = nullptr;
  int m_size = 0;
  int m_alloc = 0;
  int m_granul;
};

// A typed view of a heap buffer: sizes count elements, not bytes.
template <class T>
class WDL_TypedBuf
{
public:
  explicit WDL_TypedBuf(int granularity = 4096) noexcept
    : m_hb(granularity)
  {
  }

  T* Get() const noexcept { return static_cast<T*>(m_hb.Get()); }
  int GetSize() const noexcept { return m_hb.GetSize() / static_cast<int>(sizeof(T)); }
  int GetCapacity() const noexcept { return m_hb.GetCapacity() / static_cast<int>(sizeof(T)); }

  T* Resize(int newsize, bool resizedown = true)
  {
    if (newsize < 0) newsize = 0;
    if (static_cast<long long>(newsize) * static_cast<long long>(sizeof(T)) > 0x7fffffff) return nullptr;
    return static_cast<T*>(m_hb.Resize(newsize * static_cast<int>(sizeof(T)), resizedown));
  }
  bool Reserve(int n) { return m_hb.Reserve(n * static_cast<int>(sizeof(T))); }

  // Appends count elements (copied from data when given) and returns the first new slot.
  // data may point into this buffer: growing can move the storage, so it is re-found
  // by its offset after the resize.
  T* Add(const T* data, int count)
  {
    const int old = GetSize();
    const T* base = Get();
    const bool inside = data && base && data >= base && data < base + old;
    const long long offset = inside ? data - base : 0;
    T* p = Resize(old + count, false);
    if (!p) return nullptr;
    if (inside) data = p + offset;
    if (data) std::memmove(static_cast<void*>(p + old), data, static_cast<size_t>(count) * sizeof(T));
    return p + old;
  }
  T* Add(const T& v) { return Add(&v, 1); }

  void SetGranul(int granularity) noexcept { m_hb.SetGranul(granularity); }

private:
  WDL_HeapBuf m_hb;
};
