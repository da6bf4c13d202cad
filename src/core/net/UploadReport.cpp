#include "net/UploadReport.h"

namespace hb {

std::wstring FailedUploadReport(const std::wstring& url, std::string_view data, const Codepage& codepage) {
    std::wstring report = L"Error Sending the following data to " + url + L": \r\n-----Start-----\r\n";
    if (data.size() <= kReportedDataLimit) {
        report += codepage.fromAnsi(data);
    } else {
        report += codepage.fromAnsi(data.substr(0, kReportedDataLimit));
        report += L"\r\n\u2026 (" + std::to_wstring(data.size() - kReportedDataLimit) + L" more bytes)\r\n";
    }
    return report + L"-----End-----";
}

}  // namespace hb
