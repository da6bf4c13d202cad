// Start-up, window behaviour and shutdown: the order of the start-up steps,
// the state they leave, hide on minimise, close means minimise, select-all
// on focus, the exit button and the check-box click rule.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "settings/RunOnStartup.h"
#include "shell/Startup.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

using Journal = std::vector<std::string>;

// Key paths are ASCII; the journal keeps them as bytes.
std::string Ascii(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text) bytes.push_back(static_cast<char>(c));
    return bytes;
}

// Port fakes that also write every call of interest into one shared journal,
// so the order of the start-up steps can be read off afterwards.
class JournalRegistry : public FakeRegistry {
public:
    explicit JournalRegistry(Journal& journal) : journal_(journal) {}
    long openKey(RegistryRoot root, const std::wstring& path, std::uint32_t access, RegistryKey& key) override {
        journal_.push_back("registry " + Ascii(path));
        return FakeRegistry::openKey(root, path, access, key);
    }

private:
    Journal& journal_;
};

class JournalShell : public FakeShell {
public:
    explicit JournalShell(Journal& journal) : journal_(journal) {}
    bool notifyIcon(TrayOperation operation, const NotifyIconRecord& data) override {
        journal_.push_back(operation == TrayOperation::Add ? "tray add" : "tray delete");
        return FakeShell::notifyIcon(operation, data);
    }

private:
    Journal& journal_;
};

class JournalTrayWindow : public FakeTrayWindow {
public:
    explicit JournalTrayWindow(Journal& journal) : journal_(journal) {}
    void load() override {
        journal_.push_back("tray load");
        FakeTrayWindow::load();
    }

private:
    Journal& journal_;
};

class JournalHttp : public FakeHttpFactory {
public:
    explicit JournalHttp(Journal& journal) : journal_(journal) {}
    std::unique_ptr<HttpRequest> create(const std::wstring& progId) override {
        journal_.push_back("http");
        if (!failure.empty()) throw Failure(failure);
        return FakeHttpFactory::create(progId);
    }
    std::wstring failure;  // thrown by create when set

private:
    Journal& journal_;
};

class JournalWindow : public FakeWindow {
public:
    explicit JournalWindow(Journal& journal) : journal_(journal) {}
    void addItem(const std::wstring& text) override {
        journal_.push_back("item");
        FakeWindow::addItem(text);
    }
    void addCheckedItems(const std::vector<std::wstring>& texts) override {
        journal_.insert(journal_.end(), texts.size(), "item");
        FakeWindow::addCheckedItems(texts);
    }
    void setCheckValue(Control control, int value) override {
        if (control == Control::StartWithWindows) journal_.push_back("run box " + std::to_string(value));
        FakeWindow::setCheckValue(control, value);
    }

private:
    Journal& journal_;
};

// Counts the click events that Form1 routes, without running the handlers.
class ClickCountingForm : public Form1 {
public:
    using Form1::Form1;
    void onClick(Control control) override {
        clicks.push_back(control);
        if (forward) Form1::onClick(control);
    }
    std::vector<Control> clicks;
    bool forward = true;
};

class StartupTest : public ::testing::Test, public FakePorts {
protected:
    StartupTest() {
        use(window).use(registry).use(http).use(shell).use(trayWindow);
        std::filesystem::create_directories(temp.path() / "Program");
        std::filesystem::create_directories(temp.path() / "Game");
        process.exeFolder = temp.corePath("Program");
        options.updateHost = L"updates.test";
        std::wstring sep(1, static_cast<wchar_t>(std::filesystem::path::preferred_separator));
        registry.putString(RegistryRoot::LocalMachine, kWowKey, L"InstallPath", temp.corePath("Game") + sep);
        registry.createKey(RegistryRoot::LocalMachine, kRunKey);
        addSavedData("ALPHA");
        addSavedData("BETA");
    }

    void addSavedData(const std::string& account) {
        temp.write(std::filesystem::path("Game") / "WTF" / "Account" / account / "SavedVariables" / "Hoardbook.lua",
                   "Hoardbook = {}\r\n");
    }

    ClickCountingForm& makeForm() {
        form = std::make_unique<ClickCountingForm>(ports(), options);
        window.connect(form.get());
        return *form;
    }

    std::ptrdiff_t first(const std::string& entry) const {
        return std::find(journal.begin(), journal.end(), entry) - journal.begin();
    }
    std::ptrdiff_t last(const std::string& prefix) const {
        std::ptrdiff_t found = -1;
        for (std::size_t i = 0; i < journal.size(); ++i)
            if (journal[i].rfind(prefix, 0) == 0) found = static_cast<std::ptrdiff_t>(i);
        return found;
    }

    // The journalling fakes stand in for the plain ones.
    Journal journal;
    TempFolder temp;
    JournalWindow window{journal};
    JournalRegistry registry{journal};
    JournalHttp http{journal};
    JournalShell shell{journal};
    JournalTrayWindow trayWindow{journal};
    Options options;
    std::unique_ptr<ClickCountingForm> form;
};

TEST_F(StartupTest, StepsRunInTheirOrder) {
    makeForm().onLoad();

    const auto gameLookup = first("registry " + Ascii(kWowKey));
    const auto firstEntry = first("item");
    const auto trayLoad = first("tray load");
    const auto trayAdd = first("tray add");
    const auto runLookup = first("registry " + Ascii(kRunKey));
    ASSERT_LT(trayAdd, static_cast<std::ptrdiff_t>(journal.size())) << "no tray icon was added";
    ASSERT_LT(runLookup, static_cast<std::ptrdiff_t>(journal.size())) << "the Run value was not looked at";

    EXPECT_LT(gameLookup, firstEntry);        // the scan needs the install folder
    EXPECT_LT(last("http"), trayLoad);        // the update check precedes the tray icon
    EXPECT_LT(last("item"), trayLoad);
    EXPECT_LT(trayLoad, trayAdd);             // the record is filled from the loaded window
    EXPECT_LT(trayAdd, runLookup);            // "Run on Startup" comes last
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "tray add"), 1);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "tray delete"), 0);
}

TEST_F(StartupTest, AFailedStepIsLoggedWithItsOwnDescriptionAndStartUpGoesOn) {
    const std::wstring failure = L"Could not load C:\\Windows\\System32\\msxml6.dll: Access is denied.";
    http.failure = failure;

    makeForm().onLoad();

    EXPECT_NE(window.text(Control::Data).find(L"Unexpected error during start-up: " + failure), std::wstring::npos)
        << window.text(Control::Data);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "tray add"), 1) << "the tray icon is added all the same";
    EXPECT_LT(first("tray add"), first("registry " + Ascii(kRunKey))) << "and the steps after it run";
}

TEST_F(StartupTest, RunValueOfThisProgramChecksTheBoxThroughItsClick) {
    temp.write(std::filesystem::path("Program") / "HoardbookUploader.exe", "MZ");
    registry.putString(RegistryRoot::LocalMachine, kRunKey, kRunValueName,
                       RunValueData(process.exeFolder, process.exeName));
    auto& form = makeForm();
    form.onLoad();
    EXPECT_EQ(window.checkValue(Control::StartWithWindows), 1);
    EXPECT_EQ(std::count(form.clicks.begin(), form.clicks.end(), Control::StartWithWindows), 1);
    EXPECT_GT(first("run box 1"), first("tray add"));
}

TEST_F(StartupTest, NoRunValueLeavesTheBoxAlone) {
    auto& form = makeForm();
    form.onLoad();
    EXPECT_EQ(window.checkValue(Control::StartWithWindows), 0);
    EXPECT_TRUE(form.clicks.empty());
}

TEST_F(StartupTest, WindowIsDisplayedAfterLoadUnlessMinimisedWithAnIconToBringItBack) {
    makeForm().onLoad();
    DisplayAfterLoad(window, true);
    EXPECT_TRUE(window.visible());

    JournalWindow hidden{journal};
    hidden.setState(WindowState::Minimised);  // as a login during start-up leaves it
    DisplayAfterLoad(hidden, true);
    EXPECT_FALSE(hidden.visible());

    // Without an icon the hidden window could never be reached again.
    JournalWindow iconless{journal};
    iconless.setState(WindowState::Minimised);
    DisplayAfterLoad(iconless, false);
    EXPECT_TRUE(iconless.visible());
    EXPECT_EQ(iconless.state(), WindowState::Minimised);
}

TEST_F(StartupTest, AStartUpWithFewCharactersShowsTheWindowOnlyWhenItIsDone) {
    makeForm().onLoad();
    EXPECT_FALSE(window.visible()) << "shown by DisplayAfterLoad, as always";
    EXPECT_EQ(window.batchesAdded, 1) << "the entries went to the list at once";
}

TEST_F(StartupTest, ALongWalkShowsTheWindowSoonKeepsItAnsweringAndHoldsBackClicks) {
    // Thousands of characters (or a slow disk): each listing takes 10 ms.
    constexpr int kCharacters = 150;
    for (int i = 0; i < kCharacters; ++i) addSavedData("CHAR" + std::to_string(i));
    counter->onList = [&] { process.nowMs += 10; };
    auto& form = makeForm();

    struct Answer {
        std::int64_t atMs;
        bool visible;
        int entries;
    };
    std::vector<Answer> answers;
    process.onPump = [&] {
        if (window.itemCount() == kCharacters + 2) return;  // the walk is over
        answers.push_back({process.nowMs, window.visible(), window.itemCount()});
        // A player presses OK and ticks "Remember" before the settings are loaded.
        form.onClick(Control::Command1);
        window.userClick(Control::RememberPassword);
    };
    const std::int64_t started = process.nowMs;
    form.onLoad();

    ASSERT_GE(answers.size(), 10u) << "the window answered during the walk";
    EXPECT_LE(answers.front().atMs - started, 110);
    for (std::size_t i = 1; i < answers.size(); ++i) {
        EXPECT_LE(answers[i].atMs - answers[i - 1].atMs, 110) << "between answers " << i - 1 << " and " << i;
        EXPECT_GE(answers[i].entries, answers[i - 1].entries);
    }
    auto shown = std::find_if(answers.begin(), answers.end(), [](const Answer& a) { return a.visible; });
    ASSERT_NE(shown, answers.end()) << "the window showed while the walk went on";
    EXPECT_LE(shown->atMs - started, 600);
    EXPECT_LT(shown->entries, kCharacters) << "and its list filled as the walk went";

    EXPECT_EQ(window.itemCount(), kCharacters + 2);
    EXPECT_TRUE(boxes.shown.empty()) << "no login was tried before the settings were loaded";
    EXPECT_EQ(window.checkValue(Control::RememberPassword), 0) << "the settings file decides the box";
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "Program" / "settings.txt")) << "nothing was saved";
}

// ---- behaviour of the shown window ----

class WindowBehaviourTest : public FormFixture {};

TEST_F(WindowBehaviourTest, MinimisingHidesOnlyWhileTheTrayIconCanBringItBack) {
    window.show();
    window.setState(WindowState::Minimised);
    EXPECT_TRUE(window.visible()) << "no icon yet: hidden, the window could not be reached";
    window.setState(WindowState::Normal);
    addTrayIcon();
    window.setState(WindowState::Minimised);
    EXPECT_FALSE(window.visible());
}

TEST_F(WindowBehaviourTest, OtherStatesDoNotHide) {
    window.show();
    window.setState(WindowState::Maximised);
    EXPECT_TRUE(window.visible());
    window.setState(WindowState::Normal);
    EXPECT_TRUE(window.visible());
}

TEST_F(WindowBehaviourTest, CloseRequestIsRefusedAndHides) {
    addTrayIcon();
    window.show();
    bool cancel = false;
    form->onCloseRequest(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(window.state(), WindowState::Minimised);
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(process.endCount, 0);
}

TEST_F(WindowBehaviourTest, FocusSelectsTheWholeText) {
    window.texts[Control::URL] = L"guild.example";
    window.texts[Control::Login] = L"ann";
    form->onGotFocus(Control::URL);
    form->onGotFocus(Control::Login);
    form->onGotFocus(Control::Password);  // empty
    EXPECT_EQ(window.selections[Control::URL], std::make_pair(0, 13));
    EXPECT_EQ(window.selections[Control::Login], std::make_pair(0, 3));
    EXPECT_EQ(window.selections[Control::Password], std::make_pair(0, 0));
}

TEST_F(WindowBehaviourTest, FocusOnOtherControlsSelectsNothing) {
    window.texts[Control::Data] = L"log";
    form->onGotFocus(Control::Data);
    EXPECT_TRUE(window.selections.empty());
}

TEST_F(WindowBehaviourTest, ExitRemovesTheIconWithTheAddedRecordThenEnds) {
    form->systray().PrepareTrayIcon();
    form->systray().AddTrayIcon();
    EXPECT_THROW(form->onClick(Control::Command2), ProcessEnded);
    EXPECT_EQ(process.endCount, 1);
    ASSERT_EQ(shell.notifyCalls.size(), 2u);
    EXPECT_EQ(shell.notifyCalls[1].operation, TrayOperation::Delete);
    EXPECT_EQ(shell.notifyCalls[1].record.window, shell.notifyCalls[0].record.window);
    EXPECT_EQ(shell.notifyCalls[1].record.id, shell.notifyCalls[0].record.id);
    EXPECT_FALSE(shell.iconShown);
}

// ---- the click rule for check boxes set from code ----

class CheckBoxRuleTest : public ::testing::Test, public FakePorts {
protected:
    CheckBoxRuleTest() : form(std::make_unique<ClickCountingForm>(ports(), Options{})) {
        form->forward = false;  // only the rule is under test, not the handlers
    }
    std::unique_ptr<ClickCountingForm> form;
};

TEST_F(CheckBoxRuleTest, ChangeRaisesTheClickOnceAfterTheValueIsSet) {
    SetCheckBox(window, *form, Control::RememberPassword, 1);
    EXPECT_EQ(window.checkValue(Control::RememberPassword), 1);
    EXPECT_EQ(form->clicks, std::vector<Control>{Control::RememberPassword});
}

TEST_F(CheckBoxRuleTest, SameValueRaisesNothing) {
    SetCheckBox(window, *form, Control::StartWithWindows, 0);
    window.checkValues[Control::RememberPassword] = 1;
    SetCheckBox(window, *form, Control::RememberPassword, 1);
    EXPECT_TRUE(form->clicks.empty());
}

}  // namespace
}  // namespace hb::test
