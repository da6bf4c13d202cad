// The "Remember Password" box: a confirmation before the password is
// written in clear text, and a save on every change.

#include "shell/Form1.h"

namespace hb {

void Form1::RememberPassword_Click() {
    if (!LoadingSettings && ports_.window.checkValue(Control::RememberPassword) == 1) {
        MessageBoxRequest question;
        question.title = L"Warning!";
        question.text =
            L"Warning! This is a security risk because your password will be stored on you hard drive.  "
            L"Are you sure you want to have the program remember your password?";
        question.buttons = BoxButtons::YesNo;
        question.icon = BoxIcon::Question;
        question.defaultButton = 1;
        // Unchecking raises this handler once more, nested; that run saves too.
        if (ports_.boxes.show(question) == BoxAnswer::No) SetCheckBox(Control::RememberPassword, 0);
    }
    SaveSettings();
}

}  // namespace hb
