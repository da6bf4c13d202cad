// One copy per session: the instance mutex tells a second start that a copy
// runs, also when that copy runs elevated and the mutex cannot be opened.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

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

TEST(SingleInstanceTest, AMutexThisUserMayNotOpenCountsAsARunningCopy) {
    // An elevated copy's mutex carries a security descriptor a normal start
    // is not granted; an empty DACL grants no one anything.
    const std::wstring name = UniqueName(L"Denied");
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ACL emptyAcl;
    ASSERT_TRUE(::InitializeAcl(&emptyAcl, sizeof emptyAcl, ACL_REVISION));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&descriptor, TRUE, &emptyAcl, FALSE));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    UniqueKernelObject elevated(::CreateMutexW(&attributes, FALSE, name.c_str()));
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

}  // namespace
}  // namespace hb::test
