#include "nt/keyboard/layout.h"

#include <algorithm>

namespace nt::kbd {

void Layout::Index() {
  plainVk.fill(kNoKey);
  e0Vk.fill(kNoKey);
  e1Vk.fill(kNoKey);
  for (size_t scan = 0; scan < plainVk.size() && scan < scanToVk.size(); ++scan) {
    plainVk[scan] = scanToVk[scan];
  }
  // The first entry for a scan code is the one the driver finds.
  for (auto [map, list] : {std::pair{&e0Vk, &e0ToVk}, std::pair{&e1Vk, &e1ToVk}}) {
    for (auto it = list->rbegin(); it != list->rend(); ++it) {
      if (it->scan < map->size()) (*map)[it->scan] = it->vk;
    }
  }
  rowOfVk.fill(-1);
  for (size_t i = rows.size(); i-- > 0;) rowOfVk[rows[i].virtualKey] = static_cast<int32_t>(i);

  deadIndex = deadKeys;
  std::stable_sort(deadIndex.begin(), deadIndex.end(), [](const DeadKey& a, const DeadKey& b) {
    return a.accent != b.accent ? a.accent < b.accent : a.base < b.base;
  });
  deadIndex.erase(std::unique(deadIndex.begin(), deadIndex.end(),
                              [](const DeadKey& a, const DeadKey& b) {
                                return a.accent == b.accent && a.base == b.base;
                              }),
                  deadIndex.end());
}

const DeadKey* Layout::Compose(char16_t accent, char16_t base) const {
  auto it = std::lower_bound(deadIndex.begin(), deadIndex.end(), std::pair{accent, base},
                             [](const DeadKey& entry, const std::pair<char16_t, char16_t>& key) {
                               return entry.accent != key.first ? entry.accent < key.first
                                                                : entry.base < key.second;
                             });
  if (it == deadIndex.end() || it->accent != accent || it->base != base) return nullptr;
  return &*it;
}

}  // namespace nt::kbd
