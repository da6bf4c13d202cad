// "noupload.txt", the entries the user unchecked, through the program's
// own handlers: saved at login, compared with the list at the next start.
// Input: a first byte choosing what to do with the rest, UTF-8 lines:
//   even: entries; a line starting with "-" is an unchecked entry. They are
//         saved, and the same entries found again at the next start must
//         get the same marks;
//   odd:  the bytes up to the first "|" are the file as found, the lines
//         after it entries found by the scan; saved, then a start with no
//         entries listed and one with them again must give the same marks.

#include "gamedata/EntryText.h"
#include "support/FormHarness.h"
#include "support/FuzzSupport.h"

using namespace hb;

namespace {

// Well-formed UTF-8 holding a byte beyond ASCII: what the reader takes for
// UTF-8 without a mark (a plain model of Unicode's table of sequences).
bool IsUtf8BeyondAscii(const std::string& bytes) {
    bool beyond = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        beyond = true;
        int length = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        std::uint32_t cp = b & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
        for (int k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return beyond;
}

// What can be a saved-data folder's path below the account folder: folder
// names without control characters or the characters Windows reserves.
bool IsEntryText(std::wstring_view text) {
    if (text.empty() || text.front() == L'\\' || text.back() == L'\\' ||
        text.find(L"\\\\") != std::wstring_view::npos) {
        return false;
    }
    for (wchar_t c : text) {
        if (c < 0x20 || std::wstring_view(L"/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    }
    return true;
}

struct Entry {
    std::wstring text;
    bool checked = true;
};

// The entries the scan would list: realistic texts, no two the same
// without regard to case.
std::vector<Entry> EntriesFrom(const std::vector<std::wstring>& lines, bool marked) {
    std::vector<Entry> entries;
    for (const std::wstring& line : lines) {
        Entry entry{line, true};
        if (marked && !line.empty() && line.front() == L'-') {
            entry = {line.substr(1), false};
        }
        // Blanks at either end and characters outside the ANSI code page
        // stay in: those entries keep their marks too.
        if (!IsEntryText(entry.text)) continue;
        bool listed = false;
        for (const Entry& other : entries) listed = listed || SameWithoutCase(other.text, entry.text);
        if (!listed) entries.push_back(entry);
    }
    return entries;
}

void List(fuzz::FormHarness& start, const std::vector<Entry>& entries) {
    for (const Entry& entry : entries) {
        start.window.addItem(entry.text);
        start.window.setItemChecked(start.window.itemCount() - 1, true);
    }
}

void SaveAndCompare(std::string_view bytes) {
    const std::vector<Entry> entries =
        EntriesFrom(fuzz::SplitAt<wchar_t>(fuzz::Utf16FromUtf8(bytes), L'\n'), true);
    fuzz::MemoryFileSystem files;
    {
        fuzz::FormHarness session(files);
        List(session, entries);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            session.window.setItemChecked(static_cast<int>(i), entries[i].checked);
        }
        session.form->settings().SaveSettings();
    }
    fuzz::FormHarness next(files);
    List(next, entries);
    next.form->settings().CompareToHardDrive();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        FUZZ_CHECK(next.window.itemChecked(static_cast<int>(i)) == entries[i].checked);
    }
}

void CompareFoundFile(std::string_view bytes) {
    const std::size_t bar = bytes.find('|');
    const std::string file(bytes.substr(0, bar));
    const std::string_view rest = bar == std::string_view::npos ? std::string_view() : bytes.substr(bar + 1);
    const std::vector<Entry> entries = EntriesFrom(fuzz::SplitAt<wchar_t>(fuzz::Utf16FromUtf8(rest), L'\n'), false);

    fuzz::MemoryFileSystem files;
    files.files[fuzz::kExclusionFile] = file;
    fuzz::FormHarness start(files);
    List(start, entries);
    start.form->settings().CompareToHardDrive();

    // An entry that a line of an ANSI file names exactly is unchecked
    // (UTF-8 with or without its mark reads otherwise).
    if (!file.starts_with("\xEF\xBB\xBF") && !IsUtf8BeyondAscii(file)) {
        // Lines end at CR LF, a lone CR or a lone LF.
        std::vector<std::wstring> lines;
        std::wstring line;
        const std::wstring text = start.codepage.fromAnsi(file);
        for (std::size_t k = 0; k < text.size(); ++k) {
            if (text[k] == L'\r' || text[k] == L'\n') {
                lines.push_back(line);
                line.clear();
                if (text[k] == L'\r' && k + 1 < text.size() && text[k + 1] == L'\n') ++k;
            } else {
                line += text[k];
            }
        }
        lines.push_back(line);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            for (const std::wstring& named : lines) {
                if (named == entries[i].text) FUZZ_CHECK(!start.window.itemChecked(static_cast<int>(i)));
            }
        }
    }

    // A save keeps what the file says about entries not listed: the next
    // start with no entries at all, then with them, gives the same marks.
    start.form->settings().SaveSettings();
    {
        fuzz::FormHarness empty(files);
        empty.form->settings().CompareToHardDrive();
        empty.form->settings().SaveSettings();
    }
    fuzz::FormHarness next(files);
    List(next, entries);
    next.form->settings().CompareToHardDrive();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        FUZZ_CHECK(next.window.itemChecked(static_cast<int>(i)) == start.window.itemChecked(static_cast<int>(i)));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view rest = fuzz::Bytes(data + 1, size - 1);
    if (data[0] % 2 == 0) {
        SaveAndCompare(rest);
    } else {
        CompareFoundFile(rest);
    }
    return 0;
}
