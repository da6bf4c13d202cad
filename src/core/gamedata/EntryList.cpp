#include "gamedata/EntryList.h"

namespace hb {

EntryList::EntryList(MainWindow& view) : view_(view) {}

Entry EntryList::add(const std::wstring& text) {
    const Entry entry(count());
    add(std::vector<std::wstring>{text});
    return entry;
}

void EntryList::add(const std::vector<std::wstring>& texts) {
    for (const std::wstring& text : texts) {
        entries_.push_back({text, std::nullopt});
        texts_.add(text);
    }
    view_.addCheckedItems(texts);
}

std::optional<Entry> EntryList::at(int place) const {
    if (place < 0 || place >= count()) return std::nullopt;
    return Entry(place);
}

std::vector<Entry> EntryList::all() const {
    std::vector<Entry> all;
    all.reserve(entries_.size());
    for (int place = 0; place < count(); ++place) all.emplace_back(place);
    return all;
}

void EntryList::forgetUploads() {
    for (Listed& entry : entries_) entry.lastModified.reset();
}

}  // namespace hb
