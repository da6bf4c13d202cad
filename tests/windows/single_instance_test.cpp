// One copy per session: the instance mutex tells a second start that a copy
// runs, also when that copy runs elevated and the mutex cannot be opened.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "HostFiles.h"
#include "support/TempFolder.h"
#include "win32/Handles.h"
#include "win32/SingleInstance.h"

namespace hb::test {
namespace {

using namespace hb::win32;

std::wstring UniqueName(const wchar_t* what) {
    return std::wstring(L"Local\\HoardbookUploader.Test.") + what + L"." + std::to_wstring(::GetCurrentProcessId());
}

TEST(AnotherInstanceHolds, DecidesFromTheHandleAndTheError) {
    HANDLE some = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(4));
    EXPECT_FALSE(AnotherInstanceHolds(some, ERROR_SUCCESS)) << "made the mutex: the first copy";
    EXPECT_TRUE(AnotherInstanceHolds(some, ERROR_ALREADY_EXISTS)) << "opened the running copy's mutex";
    EXPECT_TRUE(AnotherInstanceHolds(nullptr, ERROR_ACCESS_DENIED))
        << "the mutex exists but belongs to an elevated copy (or another security context)";
    EXPECT_FALSE(AnotherInstanceHolds(nullptr, ERROR_INVALID_HANDLE))
        << "the name is taken by another kind of object: no copy of ours, start as before";
}

TEST(SingleInstanceTest, TheFirstClaimsAndASecondSeesIt) {
    const std::wstring name = UniqueName(L"Plain");
    SingleInstance first(name.c_str());
    EXPECT_FALSE(first.anotherIsRunning());
    SingleInstance second(name.c_str());
    EXPECT_TRUE(second.anotherIsRunning());
}

// A mutex as an elevated copy holds it: its security descriptor grants a
// normal start nothing (an empty DACL grants no one anything).
UniqueKernelObject MutexNoOneMayOpen(const std::wstring& name) {
    SECURITY_DESCRIPTOR descriptor;
    ACL emptyAcl;
    if (!::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !::InitializeAcl(&emptyAcl, sizeof emptyAcl, ACL_REVISION) ||
        !::SetSecurityDescriptorDacl(&descriptor, TRUE, &emptyAcl, FALSE)) {
        return UniqueKernelObject();
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    return UniqueKernelObject(::CreateMutexW(&attributes, FALSE, name.c_str()));
}

TEST(SingleInstanceTest, AMutexThisUserMayNotOpenCountsAsARunningCopy) {
    const std::wstring name = UniqueName(L"Denied");
    UniqueKernelObject elevated = MutexNoOneMayOpen(name);
    ASSERT_TRUE(elevated);

    // What a normal start meets: no handle, access denied.
    ::SetLastError(ERROR_SUCCESS);
    UniqueKernelObject probe(::CreateMutexW(nullptr, FALSE, name.c_str()));
    const DWORD probeError = ::GetLastError();
    ASSERT_FALSE(probe) << "the system did not refuse the mutex (error " << probeError << ")";
    ASSERT_EQ(probeError, DWORD{ERROR_ACCESS_DENIED});

    SingleInstance second(name.c_str());
    EXPECT_TRUE(second.anotherIsRunning());
}

TEST(SingleInstanceTest, TheMutexGoesWithTheObject) {
    const std::wstring name = UniqueName(L"Released");
    { SingleInstance first(name.c_str()); }
    SingleInstance next(name.c_str());
    EXPECT_FALSE(next.anotherIsRunning()) << "a copy that ended leaves the way free";
}

// The built program, started while a copy that runs elevated holds the
// instance mutex: it ends by itself, after looking for that copy's window
// to bring forward.
TEST(SingleInstanceProgram, EndsWhenAnElevatedCopyHoldsTheMutex) {
    const std::filesystem::path built = HostPath(EnvironmentText(L"HB_APP_EXE"));
    ASSERT_FALSE(built.empty()) << "HB_APP_EXE names no program";
    TempFolder folder;  // a copy of its own, so whatever it writes lands here
    const std::filesystem::path program = folder.path() / L"HoardbookUploader.exe";
    std::filesystem::copy_file(built, program);

    UniqueKernelObject elevated = MutexNoOneMayOpen(L"Local\\HoardbookUploader.SingleInstance");
    ASSERT_TRUE(elevated);

    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 folder.corePath().c_str(), &startup, &started));
    UniqueKernelObject process(started.hProcess);
    UniqueKernelObject thread(started.hThread);

    const bool ended = ::WaitForSingleObject(process.get(), 20000) == WAIT_OBJECT_0;
    if (!ended) {
        ::TerminateProcess(process.get(), 1);  // a second copy that started: stop it, the test has failed
        ::WaitForSingleObject(process.get(), 5000);
    }
    EXPECT_TRUE(ended) << "a second copy started beside the elevated one";
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace hb::test
