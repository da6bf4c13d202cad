// Message boxes: the style for each request, and real boxes answered by a
// watcher thread as a user would.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "win32/Win32MessageBoxes.h"

namespace hb::test {
namespace {

using namespace hb::win32;

TEST(MessageBoxStyle, ButtonsIconsAndDefaultButton) {
    MessageBoxRequest plain;
    EXPECT_EQ(MessageBoxStyle(plain, true), UINT{MB_OK | MB_DEFBUTTON1 | MB_APPLMODAL});

    MessageBoxRequest question;
    question.buttons = BoxButtons::YesNo;
    question.icon = BoxIcon::Question;
    question.defaultButton = 2;
    EXPECT_EQ(MessageBoxStyle(question, true), UINT{MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_APPLMODAL});

    MessageBoxRequest stop;
    stop.icon = BoxIcon::Stop;
    EXPECT_EQ(MessageBoxStyle(stop, true) & MB_ICONMASK, UINT{MB_ICONHAND});
    MessageBoxRequest warning;
    warning.icon = BoxIcon::Exclamation;
    EXPECT_EQ(MessageBoxStyle(warning, true) & MB_ICONMASK, UINT{MB_ICONEXCLAMATION});
}

TEST(MessageBoxStyle, WithoutAShownOwnerTheBoxIsModalToTheThread) {
    MessageBoxRequest request;
    EXPECT_EQ(MessageBoxStyle(request, false) & MB_MODEMASK, UINT{MB_TASKMODAL});
}

TEST(MessageBoxAnswer, MapsTheDialogResults) {
    EXPECT_EQ(AnswerOf(IDYES), BoxAnswer::Yes);
    EXPECT_EQ(AnswerOf(IDNO), BoxAnswer::No);
    EXPECT_EQ(AnswerOf(IDOK), BoxAnswer::Ok);
}

// Waits for the box with this title, notes its text and default button
// (the one drawn as default),
// then presses the given button.
class BoxAnswerer {
public:
    BoxAnswerer(std::wstring title, int button) : title_(std::move(title)), button_(button) {
        thread_ = std::thread([this] { run(); });
    }
    ~BoxAnswerer() { thread_.join(); }
    std::wstring text;
    int defaultButton = 0;
    std::atomic<bool> found{false};

private:
    void run() {
        for (int attempt = 0; attempt < 200 && !found; ++attempt) {
            HWND box = ::FindWindowW(L"#32770", title_.c_str());
            if (box != nullptr && ::IsWindowVisible(box)) {  // set up completely
                wchar_t buffer[512] = {};
                ::GetDlgItemTextW(box, 0xFFFF, buffer, 512);
                text = buffer;
                for (int id : {IDOK, IDYES, IDNO}) {
                    HWND button = ::GetDlgItem(box, id);
                    if (button != nullptr && (::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                        defaultButton = id;
                }
                found = true;
                ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(box, button_)));
                return;
            }
            ::Sleep(50);
        }
    }
    std::wstring title_;
    int button_;
    std::thread thread_;
};

TEST(Win32MessageBoxes, QuestionIsAnsweredNoWithTheSecondButtonAsDefault) {
    Win32MessageBoxes boxes([] { return HWND{nullptr}; });
    MessageBoxRequest request;
    request.text = L"Store the password?";
    request.title = L"HoardbookUploader test question";
    request.buttons = BoxButtons::YesNo;
    request.defaultButton = 2;
    BoxAnswer answer;
    {
        BoxAnswerer user(request.title, IDNO);
        answer = boxes.show(request);
        ASSERT_TRUE(user.found);
        EXPECT_EQ(user.text, L"Store the password?");
        EXPECT_EQ(user.defaultButton, IDNO);
    }
    EXPECT_EQ(answer, BoxAnswer::No);
}

TEST(Win32MessageBoxes, PlainBoxHasTheProgramsTitleAndAnswersOk) {
    Win32MessageBoxes boxes([] { return HWND{nullptr}; });
    MessageBoxRequest request;
    request.text = L"Line one\r\nLine two";
    EXPECT_EQ(request.title, L"HoardbookUploader");
    BoxAnswer answer;
    {
        BoxAnswerer user(request.title, IDOK);
        answer = boxes.show(request);
        ASSERT_TRUE(user.found);
        EXPECT_EQ(user.text, L"Line one\r\nLine two");
    }
    EXPECT_EQ(answer, BoxAnswer::Ok);
}

}  // namespace
}  // namespace hb::test
