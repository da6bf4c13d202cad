#pragma once
// A form with an installed game, saved-data entries on disk and a scripted
// guild website, for the login and change-watcher tests.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/FormFixture.h"

namespace hb::test {

class UploadsFixture : public FormFixture {
protected:
    UploadsFixture() {
        addTrayIcon();
        installGame();
        window.setText(Control::URL, L"guild.example");
        window.setText(Control::Login, L"bob");
        window.setText(Control::Password, L"secret pass");
        http.responder = [this](const RecordedRequest& request) {
            FakeResponse response;
            response.text = siteReply;
            response.status = siteStatus;
            if (request.url.find(L"/memberbankupload.php") == std::wstring::npos) return FakeResponse{};
            if (acceptingLogin) {
                FakeResponse accepted;
                accepted.text = L"Inventory Uploaded";
                return accepted;
            }
            if (!siteMovedTo.empty() && request.url.starts_with(L"http://")) {
                response.status = 301;
                response.headers = {{L"Location", siteMovedTo + L"/memberbankupload.php"}};
                return response;
            }
            if (siteDown) {
                // Fails while waiting, so whatever runs during the wait runs first.
                response.failAt = FakeResponse::FailAt::Poll;
                response.description = L"The server could not be reached";
            }
            if (whileUploading) response.whilePolling = whileUploading;
            return response;
        };
    }

    // The saved data of an entry, on disk, with a last-write time of its own.
    void addEntry(const std::string& entry, const std::string& bytes) {
        addSavedData(entry, bytes);
        setTime(entry, kBaseTime);
    }
    // An entry whose saved data is its own name and a line end.
    void addEntry(const std::string& entry) { addEntry(entry, entry + "\r\n"); }
    // The scan lists folders in the order the system gives them.
    std::string nameOf(int index) const {
        std::string name;
        for (wchar_t c : window.itemText(index)) name.push_back(static_cast<char>(c));
        return name;
    }
    std::string dataOf(int index) const { return nameOf(index) + "\r\n"; }
    int indexOf(const std::string& name) const {
        for (int i = 0; i < window.itemCount(); ++i) {
            if (nameOf(i) == name) return i;
        }
        return -1;
    }
    // The listed entry with this text, as the product names it.
    std::optional<Entry> entryNamed(const std::string& name) const { return form->entries().at(indexOf(name)); }
    // The entry's folders are separated by "\\", as in its text.
    std::filesystem::path savedDataFile(const std::string& entry) const {
        std::filesystem::path path = temp.path() / "Game" / "WTF" / "Account";
        for (std::size_t start = 0, end; start <= entry.size(); start = end + 1) {
            end = std::min(entry.find('\\', start), entry.size());
            path /= entry.substr(start, end - start);
        }
        return path / "SavedVariables" / "Hoardbook.lua";
    }
    void setTime(const std::string& entry, std::filesystem::file_time_type time) {
        std::filesystem::last_write_time(savedDataFile(entry), time);
    }
    void rewrite(const std::string& entry, const std::string& bytes, std::filesystem::file_time_type time) {
        addSavedData(entry, bytes);
        setTime(entry, time);
    }

    // The start-up scan and the state Form_Load leaves for the watcher.
    void scan() {
        form->scan().LoadfilesFromHardDrive();
        form->settings().CompareToHardDrive();
        form->PrepareWatcher();
    }

    // Start-up with remembered settings the site accepts: the scan, the
    // login, then the state Form_Load leaves for the watcher. The login's
    // own request is left out of what the site received.
    void scanAndLogIn() {
        form->scan().LoadfilesFromHardDrive();
        form->settings().CompareToHardDrive();
        acceptingLogin = true;
        form->Command1_Click();
        acceptingLogin = false;
        ASSERT_TRUE(logHas(L"Successfully logged in"));
        http.requests.clear();
        form->PrepareWatcher();
    }

    // The file part of every upload sent, in order.
    std::vector<std::string> uploads() const {
        static const std::string kStart = "Content-Type: text/plain\r\n\r\n";
        static const std::string kEnd = "\r\n--AaB03x--";
        std::vector<std::string> sent;
        for (const auto& request : http.requests) {
            if (!request->body || request->url.find(L"/memberbankupload.php") == std::wstring::npos) continue;
            const std::string& body = *request->body;
            std::size_t start = body.find(kStart);
            if (start == std::string::npos || body.size() < kEnd.size()) continue;
            start += kStart.size();
            sent.push_back(body.substr(start, body.size() - kEnd.size() - start));
        }
        return sent;
    }

    // What the window shows of the session: the login's controls that are
    // enabled, and whether the watcher's timer runs.
    std::vector<Control> enabledLoginControls() const {
        std::vector<Control> enabled;
        for (Control control : {Control::URL, Control::Login, Control::Password, Control::Command1, Control::Command3}) {
            if (window.enabled(control)) enabled.push_back(control);
        }
        return enabled;
    }
    bool showsLoggedIn() const {
        return enabledLoginControls() == std::vector<Control>{Control::Command3} &&
               window.timerEnabled(Timer::UpdateTimer);
    }
    bool showsLoggedOut() const {
        return enabledLoginControls() ==
                   std::vector<Control>{Control::URL, Control::Login, Control::Password, Control::Command1} &&
               !window.timerEnabled(Timer::UpdateTimer);
    }

    std::wstring log() const { return window.text(Control::Data); }
    bool logHas(const std::wstring& text) const { return log().find(text) != std::wstring::npos; }

    static inline const std::filesystem::file_time_type kBaseTime =
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);

    std::wstring siteReply = L"Inventory Uploaded";
    int siteStatus = 200;
    bool siteDown = false;
    // The hosting answers plain requests with a move to this https address.
    std::wstring siteMovedTo;
    std::function<void()> whileUploading;
    bool acceptingLogin = false;
};

}  // namespace hb::test
