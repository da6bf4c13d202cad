#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "ports/Process.h"

namespace hb::test {

// Thrown by FakeProcess::endNow; deliberately not a std::exception, so no
// handler of the program can swallow it.
struct ProcessEnded {};

class FakeProcess : public Process {
public:
    [[noreturn]] void endNow() override {
        ++endCount;
        throw ProcessEnded{};
    }
    std::wstring executableFolder() const override { return exeFolder; }
    std::wstring executableFileName() const override { return exeName; }
    // A start by hand: the working directory is the program's folder.
    std::wstring workingFolder() const override { return workFolder.empty() ? exeFolder : workFolder; }
    std::wstring localAppDataFolder() const override { return appDataFolder; }
    std::optional<std::wstring> virtualStoreFolder(const std::wstring& folder) const override {
        auto found = virtualStores.find(folder);
        if (found == virtualStores.end()) return std::nullopt;
        return found->second;
    }
    std::wstring localDateTimeText() const override { return dateTimeText; }
    std::wstring isoLocalDateTimeText() const override { return isoDateTimeText; }
    void pumpMessages(int maxWaitMs) override {
        ++pumpCount;
        nowMs += maxWaitMs > 0 ? maxWaitMs : 1;
        if (onPump) onPump();
    }
    std::int64_t monotonicMs() const override { return nowMs; }

    std::wstring exeFolder = L"C:\\Program Files\\HoardbookUploader";
    std::wstring exeName = L"HoardbookUploader.exe";
    std::wstring workFolder;  // empty: the executable's folder
    std::wstring appDataFolder;
    std::map<std::wstring, std::wstring> virtualStores;  // folder -> its VirtualStore copy
    std::wstring dateTimeText = L"12/5/2026 9:11:00 PM";
    std::wstring isoDateTimeText = L"2026-12-05 21:11:00";
    std::int64_t nowMs = 1000;
    int pumpCount = 0;
    int endCount = 0;
    std::function<void()> onPump;
};

// The ANSI code page as Latin-1: each byte is the character of that number.
class Latin1Codepage : public Codepage {
public:
    std::wstring fromAnsi(std::string_view bytes) const override {
        std::wstring text;
        for (unsigned char c : bytes) text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    std::string toAnsi(std::wstring_view text) const override {
        std::string bytes;
        for (wchar_t c : text) bytes.push_back(static_cast<unsigned>(c) < 256 ? static_cast<char>(c) : '?');
        return bytes;
    }
};

}  // namespace hb::test
