#include "gamedata/ListedEntries.h"

#include "gamedata/EntryText.h"

namespace hb {

namespace {
// Every letter in upper case, as SameWithoutCase compares.
std::wstring UpperCased(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper) c = UpperCaseOf(c);
    return upper;
}
}  // namespace

void ListedEntries::add(std::wstring_view text) { upperCased_.insert(UpperCased(text)); }

bool ListedEntries::contains(std::wstring_view text) const { return upperCased_.contains(UpperCased(text)); }

}  // namespace hb
