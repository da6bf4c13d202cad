#pragma once
// The listed entries: one per folder holding saved data, in the order the
// scan found them, each shown as one row of the window's check-list (in
// the same order). An entry keeps what belongs to it: its text and how its
// file looked at its last accepted upload. The check mark is the player's:
// a click in the list raises no event, so the mark is read from the list
// whenever it matters.
//
// Entries are only ever appended, never removed or reordered, so an entry
// keeps its place for the whole run, and its place is its row.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gamedata/ListedEntries.h"
#include "ports/FileSystem.h"
#include "ports/MainWindow.h"

namespace hb {

// One listed entry, as the list that made it names it.
class Entry {
public:
    constexpr explicit Entry(int place) : place_(place) {}
    // Its place in the list, from 0: its row in the check-list.
    constexpr int place() const { return place_; }
    auto operator<=>(const Entry&) const = default;

private:
    int place_;
};

class EntryList {
public:
    explicit EntryList(MainWindow& view);
    EntryList(const EntryList&) = delete;
    EntryList& operator=(const EntryList&) = delete;

    // Lists a checked entry at the end.
    Entry add(const std::wstring& text);
    // Lists checked entries at the end in one batch (a list control costs
    // far more per insert than per batch).
    void add(const std::vector<std::wstring>& texts);
    int count() const { return static_cast<int>(entries_.size()); }
    // The entry at a place; nothing where none is.
    std::optional<Entry> at(int place) const;
    // Every entry, in the list's order.
    std::vector<Entry> all() const;
    // Whether an entry of this text is listed, compared without case.
    bool contains(std::wstring_view text) const { return texts_.contains(text); }

    const std::wstring& text(Entry entry) const { return entries_.at(index(entry)).text; }
    bool checked(Entry entry) const { return view_.itemChecked(entry.place()); }

    // LastModified: the entry's file (its last-write time and size) as it
    // was sent in its last accepted upload; nothing before the first.
    const std::optional<FileStamp>& LastModified(Entry entry) const { return entries_.at(index(entry)).lastModified; }
    void uploaded(Entry entry, const FileStamp& stamp) { entries_.at(index(entry)).lastModified = stamp; }
    // Start-up readies the watcher with no upload seen.
    void forgetUploads();

private:
    struct Listed {
        std::wstring text;
        std::optional<FileStamp> lastModified;
    };
    static std::size_t index(Entry entry) { return static_cast<std::size_t>(entry.place()); }

    MainWindow& view_;
    std::vector<Listed> entries_;
    ListedEntries texts_;
};

}  // namespace hb
