// The upload of a large saved-data file through the real upload path
// (Transfers::upload, the program's GetXML) and a real transport, timed request by request, with the
// process's memory after each. Run by bench/upload-vs-curl, which starts
// the reference site, runs this under Wine, sends the same body with curl
// and prints the comparison.
//
//   upload_transport [--transport winhttp|xmlhttp] [--scheme http|https] [--megabytes N] [--repeat N] [--interleave]
// The transport defaults to the one the program uses where it runs
// (WinHTTP under Wine, XMLHTTP on Windows).
// Needs HB_SITE_PORT and HB_SITE_DATA (see tools/with-servers); with
// --scheme https it uploads to https://127.0.0.1:HB_TLS_PORT, the same site
// behind the TLS front, after trusting HB_TEST_CA in its Wine prefix.
// Writes the exact request body to HB_SITE_DATA/body.bin for the curl run.
// With --interleave it pauses after each upload until the script has sent
// the body with curl (files turn-N and done-N in HB_SITE_DATA).

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeShell.h"
#include "fakes/FakeWindow.h"
#include "net/UploadBody.h"
#include "net/Transfers.h"
#include "shell/Form1.h"
#include "shell/MessageLog.h"
#include "shell/ShellExit.h"
#include "support/TrustedTestCa.h"
#include "win32/ComInit.h"
#include "win32/Win32DataProtection.h"
#include "win32/Win32FileSystem.h"
#include "win32/Win32Http.h"
#include "win32/Win32Process.h"
#include "win32/Win32WinHttp.h"
#include "win32/Wine.h"

namespace {

std::wstring Environment(const wchar_t* name) {
    wchar_t value[1024];
    DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

// Saved data as the add-on writes it: Lua table lines with CR LF ends.
std::string SavedData(std::size_t bytes) {
    std::string data = "HoardbookData = {\r\n";
    for (unsigned item = 0; data.size() < bytes; ++item) {
        data += "  [\"Character-" + std::to_string(item % 40) + "\"] = { id = " + std::to_string(item * 7919 % 100000) +
                ", count = " + std::to_string(item % 200) + ", name = \"\xC3\x89lixir of the Bank\" },\r\n";
    }
    data.resize(bytes - 3);
    data += "}\r\n";
    return data;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

PROCESS_MEMORY_COUNTERS_EX Memory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters);
    return counters;
}

double Megabytes(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int megabytes = 20;
    int repeat = 5;
    bool interleave = false;
    bool tls = false;
    bool winHttp = hb::win32::RunningUnderWine();
    for (int i = 1; i < argc; ++i) {
        std::wstring option = argv[i];
        if (option == L"--interleave") interleave = true;
        if (i + 1 >= argc) continue;
        if (option == L"--megabytes") megabytes = std::max(1, _wtoi(argv[i + 1]));
        if (option == L"--repeat") repeat = std::max(1, _wtoi(argv[i + 1]));
        if (option == L"--transport") winHttp = std::wstring(argv[i + 1]) == L"winhttp";
        if (option == L"--scheme") tls = std::wstring(argv[i + 1]) == L"https";
    }
    const std::wstring port = Environment(tls ? L"HB_TLS_PORT" : L"HB_SITE_PORT");
    std::wstring data = Environment(L"HB_SITE_DATA");
    if (port.empty() || data.empty()) {
        std::fprintf(stderr, "run through bench/upload-vs-curl (HB_SITE_PORT and HB_SITE_DATA are needed)\n");
        return 2;
    }
    if (tls) {
        const std::wstring error = hb::test::TrustTestCa();
        if (!error.empty()) {
            std::fprintf(stderr, "the test CA is not trusted: %ls\n", error.c_str());
            return 2;
        }
    }
    std::replace(data.begin(), data.end(), L'/', L'\\');
    data = L"Z:" + data;

    hb::win32::ComInit com;
    hb::test::FakeWindow window;
    hb::test::FakeMessageBoxes boxes;
    hb::test::FakeRegistry registry;
    hb::test::FakeShell shell;
    hb::test::FakeTrayWindow trayWindow;
    std::unique_ptr<hb::HttpFactory> http;
    if (winHttp) {
        http = std::make_unique<hb::win32::WinHttpFactory>();
    } else {
        http = std::make_unique<hb::win32::Win32HttpFactory>();
    }
    hb::win32::Win32FileSystem files;
    hb::win32::Win32Process process;
    hb::win32::Win32Codepage codepage;
    hb::win32::Win32DataProtection protection;
    hb::Options options;
    hb::WindowMessageLog log(window, process);
    hb::SystrayMod systray(shell, trayWindow, codepage);
    hb::ShellExit programExit(systray, process);
    hb::Transfers transfers(*http, boxes, shell, files, process, programExit, codepage, log,
                            options.httpDeadlineMs, options.httpTotalMs);
    const hb::SiteLogin site{(tls ? L"https://127.0.0.1:" : L"127.0.0.1:") + port, L"Officer Bob", L"secret"};

    const PROCESS_MEMORY_COUNTERS_EX atStart = Memory();
    const std::string saved = SavedData(static_cast<std::size_t>(megabytes) * 1024 * 1024);
    {
        // The identical request body, for curl.
        std::ofstream body(std::filesystem::path(data + L"\\body.bin"), std::ios::binary);
        const std::string bytes = hb::BuildUploadBody(L"Officer Bob", L"secret", saved);
        body.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const PROCESS_MEMORY_COUNTERS_EX before = Memory();

    std::vector<double> times;
    std::vector<PROCESS_MEMORY_COUNTERS_EX> afterEach;
    for (int i = 0; i < repeat; ++i) {
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        std::wstring answer = transfers.upload(site, saved, hb::FailureReport::Box).reply;
        ::QueryPerformanceCounter(&end);
        if (answer != L"Inventory Uploaded" || !boxes.shown.empty()) {
            std::fprintf(stderr, "upload %d failed: %ls\n", i + 1,
                         boxes.shown.empty() ? answer.c_str() : boxes.shown.back().text.c_str());
            return 1;
        }
        times.push_back(Milliseconds(start, end));
        afterEach.push_back(Memory());
        if (interleave) {
            // The script's curl upload runs now, between two of ours, so
            // both see the same machine load.
            const std::wstring turn = data + L"\\turn-" + std::to_wstring(i + 1);
            const std::wstring done = data + L"\\done-" + std::to_wstring(i + 1);
            std::ofstream(std::filesystem::path(turn)).put('\n');
            for (int waited = 0; ::GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES; waited += 10) {
                if (waited > 120000) {
                    std::fprintf(stderr, "no curl run after upload %d\n", i + 1);
                    return 1;
                }
                ::Sleep(10);
            }
        }
    }
    std::printf("transport %s\n", winHttp ? "winhttp" : "xmlhttp");
    std::printf("scheme %s\n", tls ? "https" : "http");
    std::printf("file_bytes %zu\n", saved.size());
    for (double t : times) std::printf("upload_ms %.1f\n", t);
    std::sort(times.begin(), times.end());
    const double file = static_cast<double>(saved.size());

    std::printf("upload_median_ms %.1f\n", times[(times.size() - 1) / 2]);
    // Private bytes (commit charge): the process's own memory, without
    // mapped program files.
    std::printf("private_at_start_mb %.1f\n", Megabytes(atStart.PagefileUsage));
    std::printf("private_with_file_loaded_mb %.1f\n", Megabytes(before.PagefileUsage));
    std::printf("first_upload_peak_private_mb %.1f\n", Megabytes(afterEach[0].PeakPagefileUsage));
    std::printf("first_upload_peak_over_file %.2f\n", static_cast<double>(afterEach[0].PeakPagefileUsage) / file);
    std::printf("first_upload_growth_over_file %.2f\n",
                static_cast<double>(afterEach[0].PeakPagefileUsage - before.PagefileUsage) / file);
    for (std::size_t i = 0; i < afterEach.size(); ++i) {
        std::printf("private_after_upload_%zu_mb %.1f\n", i + 1, Megabytes(afterEach[i].PagefileUsage));
    }
    std::printf("peak_private_all_uploads_mb %.1f\n", Megabytes(afterEach.back().PeakPagefileUsage));
    // Resident memory (working set): what stays behind from upload to upload.
    for (std::size_t i = 0; i < afterEach.size(); ++i) {
        std::printf("resident_after_upload_%zu_mb %.1f\n", i + 1, Megabytes(afterEach[i].WorkingSetSize));
    }
    const double residentGrowth = static_cast<double>(afterEach.back().WorkingSetSize) -
                                  static_cast<double>(afterEach.front().WorkingSetSize);
    std::printf("resident_growth_after_first_over_file %.2f\n", residentGrowth / file);
    return 0;
}
