#pragma once
// The round-robin step over the checked entries of a list.

namespace hb {

// The first checked index after current, wrapping round to the start and
// ending with current itself; current when no entry is checked. Only
// indices of existing entries (0 to count - 1) are examined.
template <typename IsChecked>
int NextCheckedIndex(int current, int count, IsChecked isChecked) {
    for (int i = current + 1; i < count; ++i) {
        if (i >= 0 && isChecked(i)) return i;
    }
    for (int i = 0; i <= current && i < count; ++i) {
        if (isChecked(i)) return i;
    }
    return current;
}

}  // namespace hb
