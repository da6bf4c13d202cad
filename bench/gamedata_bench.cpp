// The two hot paths of game-data discovery, each beside its baseline:
//  - a walk of the account folder after the first (nothing new to find),
//    which the change watcher repeats every 5 s, against
//    `find ACCOUNTDIR -iname hoardbook.lua` over the same tree;
//  - GetFile on a 50 MB saved-data file against a raw read of its bytes.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeMessageLog.h"
#include "fakes/FakeProcess.h"
#include "fakes/FakeProgramExit.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeWindow.h"
#include "gamedata/CharacterScan.h"
#include "gamedata/SavedDataFiles.h"
#include "posix/PosixFileSystem.h"
#include "support/TempFolder.h"

extern char** environ;

namespace hb::test {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// 20 accounts of 5 realms with 10 characters each, every one with the
// files the game keeps and a SavedVariables folder of add-on files:
// 2140 folders and about 20000 files. Every account and the characters of
// two accounts hold the add-on's saved data (120 entries).
struct AccountTree {
    TempFolder temp;
    fs::path game;
    fs::path account;
    int folders = 0;
    int files = 0;

    AccountTree() {
        game = temp.path() / "Game";
        account = game / "WTF" / "Account";
        const std::string small = "-- saved by the game\n";
        auto folder = [&](const fs::path& path) {
            fs::create_directories(path);
            ++folders;
        };
        auto file = [&](const fs::path& path) {
            WriteFile(path, small);
            ++files;
        };
        for (int a = 0; a < 20; ++a) {
            fs::path acct = account / ("ACCOUNT" + std::to_string(a));
            folder(acct);
            folder(acct / "SavedVariables");
            for (int f = 0; f < 49; ++f) file(acct / "SavedVariables" / ("AddOn" + std::to_string(f) + ".lua"));
            file(acct / "SavedVariables" / "Hoardbook.lua");
            for (int r = 0; r < 5; ++r) {
                fs::path realm = acct / ("Realm" + std::to_string(r));
                folder(realm);
                for (int c = 0; c < 10; ++c) {
                    fs::path character = realm / ("Character" + std::to_string(c));
                    folder(character);
                    folder(character / "SavedVariables");
                    for (const char* name : {"AddOns.txt", "config-cache.wtf", "layout-local.txt", "macros-cache.txt"}) {
                        file(character / name);
                    }
                    for (int f = 0; f < 15; ++f) {
                        file(character / "SavedVariables" / ("AddOn" + std::to_string(f) + ".lua"));
                    }
                    if (a < 2) file(character / "SavedVariables" / "Hoardbook.lua");
                }
            }
        }
    }
};

AccountTree& Tree() {
    static AccountTree tree;
    return tree;
}

// The scan and the saved-data reader built alone: the real file system and
// fakes of the other ports they use.
struct Walking {
    FakeWindow window;
    FakeMessageBoxes boxes;
    FakeRegistry registry;
    FakeProcess process;
    Latin1Codepage codepage;
    PosixFileSystem files;
    FakeMessageLog log;
    FakeProgramExit programExit{process};
    GameFolders folders{registry, boxes, programExit};
    EntryList entries{window};
    CharacterScan scan{entries, files, nullptr, folders, log};
    SavedDataFiles savedData{entries, files, folders};

    explicit Walking(const fs::path& game) {
        registry.putString(RegistryRoot::LocalMachine, L"Software\\Blizzard Entertainment\\World of Warcraft",
                           L"InstallPath", game.wstring() + L"/");
    }
};

void BM_WalkAfterTheFirst(benchmark::State& state) {
    AccountTree& tree = Tree();
    Walking walking(tree.game);
    walking.scan.LoadfilesFromHardDrive();
    if (walking.window.itemCount() != 120) state.SkipWithError("unexpected number of entries");
    for (auto _ : state) {
        walking.scan.LoadfilesFromHardDrive();
    }
    state.counters["folders"] = tree.folders;
    state.counters["files"] = tree.files;
    state.counters["entries"] = walking.window.itemCount();
}
BENCHMARK(BM_WalkAfterTheFirst)->Unit(benchmark::kMillisecond);

void BM_FindBaseline(benchmark::State& state) {
    AccountTree& tree = Tree();
    std::string folder = tree.account.string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>("find"), folder.data(), const_cast<char*>("-iname"),
                    const_cast<char*>("hoardbook.lua"), nullptr};
    for (auto _ : state) {
        pid_t child = 0;
        if (posix_spawnp(&child, "find", &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start find");
            break;
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("find failed");
    }
    posix_spawn_file_actions_destroy(&actions);
}
BENCHMARK(BM_FindBaseline)->Unit(benchmark::kMillisecond);

// ---- GetFile on 50 MB ----

struct BigFile {
    TempFolder temp;
    fs::path path;
    explicit BigFile(const std::string& lineEnd) {
        path = temp.path() / "Hoardbook.lua";
        std::string line = "        [\"item:12345:0:0:0\"] = \"A line of saved data, about eighty bytes\"," + lineEnd;
        std::string bytes;
        bytes.reserve(50u << 20);
        while (bytes.size() + line.size() <= (50u << 20)) bytes += line;
        WriteFile(path, bytes);
    }
};

BigFile& FileWith(const std::string& lineEnd) {
    static BigFile crlf("\r\n");
    static BigFile lf("\n");
    static BigFile cr("\r");
    return lineEnd == "\r\n" ? crlf : lineEnd == "\n" ? lf : cr;
}

void GetFileWith(benchmark::State& state, const std::string& lineEnd) {
    BigFile& file = FileWith(lineEnd);
    Walking walking(file.temp.path());
    std::wstring path = file.path.wstring();
    for (auto _ : state) {
        std::string text = walking.savedData.GetFile(path);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(fs::file_size(file.path)));
}

void BM_GetFileCrLf(benchmark::State& state) { GetFileWith(state, "\r\n"); }
void BM_GetFileLf(benchmark::State& state) { GetFileWith(state, "\n"); }
void BM_GetFileLoneCr(benchmark::State& state) { GetFileWith(state, "\r"); }
BENCHMARK(BM_GetFileCrLf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetFileLf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetFileLoneCr)->Unit(benchmark::kMillisecond);

// The bytes into one buffer of the file's size, nothing else.
void BM_RawReadBaseline(benchmark::State& state) {
    BigFile& file = FileWith("\r\n");
    std::string path = file.path.string();
    for (auto _ : state) {
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        fstat(fd, &info);
        // Not zero-filled: the baseline pays for nothing but the read.
        auto size = static_cast<std::size_t>(info.st_size);
        std::unique_ptr<char[]> bytes(new char[size]);
        std::size_t done = 0;
        while (done < size) {
            ssize_t n = read(fd, bytes.get() + done, size - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        close(fd);
        benchmark::DoNotOptimize(bytes.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(fs::file_size(file.path)));
}
BENCHMARK(BM_RawReadBaseline)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hb::test

BENCHMARK_MAIN();
