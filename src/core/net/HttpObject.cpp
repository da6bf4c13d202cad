// The HTTP object factory.

#include <exception>

#include "base/GotoURL.h"
#include "net/Transfers.h"

namespace hb {

namespace {

// Newest first: the first one the machine has is used.
constexpr const wchar_t* kXmlHttpClassNames[] = {
    L"MSXML2.XMLHTTP.6.0", L"MSXML2.XMLHTTP.4.0", L"MSXML2.XMLHTTP.3.0",
    L"MSXML2.XMLHTTP.2.6", L"MSXML2.XMLHTTP.2.0",
};

constexpr const wchar_t* kXmlRuntimeDownloadPage =
    L"http://www.microsoft.com/downloads/details.aspx?FamilyId=993c0bcf-3bcf-4009-be21-27e85e1857b1";

}  // namespace

Transfers::Transfers(HttpFactory& http, MessageBoxes& boxes, Shell& shell, FileSystem& files, Process& process,
                     ProgramExit& exit, const Codepage& codepage, MessageLog& log, int deadlineMs,
                     std::int64_t totalMs)
    : http_(http), boxes_(boxes), shell_(shell), files_(files), process_(process), exit_(exit),
      codepage_(codepage), log_(log), deadlineMs_(deadlineMs), totalMs_(totalMs) {}

std::unique_ptr<HttpRequest> Transfers::CreateXMLObject() {
    for (const wchar_t* className : kXmlHttpClassNames) {
        if (auto request = http_.create(className)) return request;
    }

    MessageBoxRequest box;
    box.text =
        L"We were unable to initialize.  Please download and install the program that you are taken to after "
        L"clicking 'OK'\r\n\r\nNote: If you are unsure about which file to download from that page, then "
        L"download the first one (msxml6.msi)";
    box.icon = BoxIcon::Stop;
    boxes_.show(box);
    try {
        // Beside the program, where its other files are: the working folder
        // of a start from the Run key is the system folder.
        OpenInBrowser({shell_, files_, boxes_, process_.executableFolder()}, kXmlRuntimeDownloadPage);
    } catch (const std::exception&) {
        // The program ends all the same; the user has been told what to install.
    }
    exit_.endProgram();
    return nullptr;  // not reached: endProgram does not return
}

}  // namespace hb
