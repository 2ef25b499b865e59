#pragma once
// An ordered list of items the list does not own: append at the tail, take from
// the head, reach or remove by index. A deque stands behind it, so an index
// costs the same anywhere.
#include <cstddef>
#include <deque>

template <typename T> class CItemList {
public:
  std::size_t Count() const { return items_.size(); }
  void Append(T *item) { items_.push_back(item); }
  // The head's item, removed from the list; nullptr when the list is empty.
  T *RemoveHead() {
    if (items_.empty())
      return nullptr;
    T *item = items_.front();
    items_.pop_front();
    return item;
  }
  // The item at `index`, removed; nullptr (and no change) for an index beyond
  // the end.
  T *RemoveAt(std::size_t index) {
    if (index >= items_.size())
      return nullptr;
    T *item = items_[index];
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    return item;
  }
  // The item at `index`; nullptr for an index at or beyond the count.
  T *Get(std::size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
  }
  void RemoveAll() { items_.clear(); }

private:
  std::deque<T *> items_;
};
