// The item list under an arbitrary sequence of appends, removals and reads: it always
// agrees with a plain vector doing the same.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "support/item_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static int items[256];
  CItemList<int> list;
  std::vector<int*> model;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    std::size_t index = data[i + 1];
    int* got = nullptr;
    int* expected = nullptr;
    switch (data[i] % 5) {
      case 0:
        list.Append(&items[index]);
        model.push_back(&items[index]);
        break;
      case 1:
        got = list.RemoveHead();
        if (!model.empty()) {
          expected = model.front();
          model.erase(model.begin());
        }
        break;
      case 2:
        got = list.RemoveAt(index);
        if (index < model.size()) {
          expected = model[index];
          model.erase(model.begin() + static_cast<std::ptrdiff_t>(index));
        }
        break;
      case 3:
        got = list.Get(index);
        expected = index < model.size() ? model[index] : nullptr;
        break;
      default:
        if (data[i + 1] == 0) {
          list.RemoveAll();
          model.clear();
        }
    }
    if (got != expected || list.Count() != model.size()) __builtin_trap();
  }
  return 0;
}
