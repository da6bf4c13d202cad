// TEMPORARY placeholders so the program links while net is built; delete when implemented.
#include "shell/Form1.h"
#include "desktop/GotoURL.h"
namespace hb {
std::unique_ptr<HttpRequest> Form1::CreateXMLObject() { return nullptr; }
std::wstring Form1::GetXML(const std::string&) { return {}; }
std::wstring Form1::QuickDownload(const std::wstring&) { return {}; }
bool Form1::QuickDownloadToFile(const std::wstring&, const std::wstring&) { return false; }
bool OpenInBrowser(const BrowserLauncherPorts&, const std::string&) { return false; }
}  // namespace hb
