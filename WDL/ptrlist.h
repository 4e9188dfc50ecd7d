#pragma once
// An ordered list of pointers. The list owns its elements only where a caller asks
// it to delete them (Delete/Empty with wantDelete), so it serves both owning and
// borrowing lists.

#include "heapbuf.h"

#include <type_traits>

template <class PTRTYPE>
class WDL_PtrList
{
public:
  explicit WDL_PtrList(int granularity = 4096) noexcept
    : m_hb(granularity)
  {
  }
  ~WDL_PtrList() = default;

  WDL_PtrList(const WDL_PtrList&) = delete;
  WDL_PtrList& operator=(const WDL_PtrList&) = delete;

  PTRTYPE** GetList() const noexcept { return static_cast<PTRTYPE**>(m_hb.Get()); }
  int GetSize() const noexcept { return m_hb.GetSize() / static_cast<int>(sizeof(PTRTYPE*)); }

  // Returns null for an index outside the list.
  PTRTYPE* Get(int index) const noexcept { return (index >= 0 && index < GetSize()) ? GetList()[index] : nullptr; }

  PTRTYPE* Add(PTRTYPE* item)
  {
    const int s = GetSize();
    PTRTYPE** list = static_cast<PTRTYPE**>(m_hb.Resize((s + 1) * static_cast<int>(sizeof(PTRTYPE*)), false));
    if (!list) return nullptr;
    list[s] = item;
    return item;
  }

  // Appends an item the list owns. When the list cannot grow the item is deleted and
  // false returned, so a caller can report the failure without a leak.
  bool AddOrDelete(PTRTYPE* item)
  {
    if (Add(item)) return true;
    delete item;
    return false;
  }

  PTRTYPE* Set(int index, PTRTYPE* item) noexcept
  {
    if (index < 0 || index >= GetSize()) return nullptr;
    GetList()[index] = item;
    return item;
  }

  // Inserts before index (clamped to 0..size).
  PTRTYPE* Insert(int index, PTRTYPE* item)
  {
    const int s = GetSize();
    if (index < 0) index = 0;
    if (index > s) index = s;
    PTRTYPE** list = static_cast<PTRTYPE**>(m_hb.Resize((s + 1) * static_cast<int>(sizeof(PTRTYPE*)), false));
    if (!list) return nullptr;
    for (int i = s; i > index; --i) list[i] = list[i - 1];
    list[index] = item;
    return item;
  }

  int Find(const PTRTYPE* item) const noexcept
  {
    PTRTYPE** list = GetList();
    const int s = GetSize();
    for (int i = 0; i < s; ++i)
      if (list[i] == item) return i;
    return -1;
  }

  // Removes the entry at index, deleting the element first when asked.
  void Delete(int index, bool wantDelete = false, void (*delfunc)(void*) = nullptr)
  {
    const int s = GetSize();
    if (index < 0 || index >= s) return;
    PTRTYPE** list = GetList();
    if (wantDelete) Destroy(list[index], delfunc);
    for (int i = index; i < s - 1; ++i) list[i] = list[i + 1];
    m_hb.Resize((s - 1) * static_cast<int>(sizeof(PTRTYPE*)), false);
  }

  bool DeletePtr(const PTRTYPE* item, bool wantDelete = false, void (*delfunc)(void*) = nullptr)
  {
    const int i = Find(item);
    if (i < 0) return false;
    Delete(i, wantDelete, delfunc);
    return true;
  }

  void Empty(bool wantDelete = false, void (*delfunc)(void*) = nullptr)
  {
    if (wantDelete)
    {
      // Delete from the end so an element's destructor that looks at the list sees the rest intact.
      for (int i = GetSize() - 1; i >= 0; --i)
      {
        PTRTYPE* item = GetList()[i];
        m_hb.Resize(i * static_cast<int>(sizeof(PTRTYPE*)), false);
        Destroy(item, delfunc);
      }
    }
    m_hb.Resize(0, false);
  }

private:
  static void Destroy(PTRTYPE* item, void (*delfunc)(void*))
  {
    if (!item) return;
    if (delfunc)
      delfunc(item);
    else if constexpr (!std::is_void_v<PTRTYPE>)
      delete item;
  }

  WDL_HeapBuf m_hb;
};
