// TEMPORARY placeholders so the program links while settings and uploads are built; delete when implemented.
#include "shell/Form1.h"
namespace hb {
void Form1::LoadSettings() {}
void Form1::SaveSettings() {}
void Form1::RememberPassword_Click() {}
void Form1::StartWithWindows_Click() {}
bool Form1::IsRunOnStartup() { return false; }
std::wstring Form1::SettingsFilePath() const { return L"settings.txt"; }
std::wstring Form1::ExclusionFilePath() const { return L"noupload.txt"; }
void Form1::Command1_Click() {}
void Form1::Command3_Click() {}
void Form1::UpdateTimer_Timer() {}
}  // namespace hb
