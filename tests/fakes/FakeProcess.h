#pragma once
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "ports/Process.h"

namespace hb::test {

// Thrown by FakeProcess::endNow; deliberately not a std::exception, so no
// handler of the program can swallow it.
struct ProcessEnded {};

// The real clock as a file time, as file systems stamp what the test writes.
inline std::int64_t RealSystemTimeAsFileTime() {
    // 1601-01-01 to 1970-01-01 in 100 ns units.
    constexpr std::int64_t kUnixEpoch = 116444736000000000;
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return kUnixEpoch + std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100;
}

class FakeProcess : public Process {
public:
    [[noreturn]] void endNow() override {
        ++endCount;
        if (onEnd) onEnd();
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
    // The system clock moves with the monotonic one, from the real time
    // the fake was made at, so files the test writes now are fresh.
    std::int64_t systemTimeAsFileTime() const override { return systemTimeAtStart + (nowMs - 1000) * 10000; }

    std::wstring exeFolder = L"C:\\Program Files\\HoardbookUploader";
    std::wstring exeName = L"HoardbookUploader.exe";
    std::wstring workFolder;  // empty: the executable's folder
    std::wstring appDataFolder;
    std::map<std::wstring, std::wstring> virtualStores;  // folder -> its VirtualStore copy
    std::wstring dateTimeText = L"12/5/2026 9:11:00 PM";
    std::wstring isoDateTimeText = L"2026-12-05 21:11:00";
    std::int64_t nowMs = 1000;
    std::int64_t systemTimeAtStart = RealSystemTimeAsFileTime();
    int pumpCount = 0;
    int endCount = 0;
    std::function<void()> onPump;
    // Runs as the process ends, to see what was done before.
    std::function<void()> onEnd;
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
