#pragma once
// Fakes of the seams both procedures share, each recording what it was
// asked to do so a test can compare the whole story.

#include <string>
#include <utility>
#include <vector>

#include "wizard/progress_page.h"
#include "wizard/server_registration.h"
#include "wizard/start_menu.h"

namespace qm::testing {

// Records "text: ...", "progress: N" and "message: ..." in order.
class RecordingPage : public virtual ProgressPage {
public:
    void setStatusText(const std::string& text) override { events.push_back("text: " + text); }
    void setProgress(int percent) override {
        events.push_back("progress: " + std::to_string(percent));
    }
    void showMessage(const std::string& text) override { events.push_back("message: " + text); }

    std::vector<std::string> messages() const {
        std::vector<std::string> found;
        for (const std::string& event : events) {
            if (event.rfind("message: ", 0) == 0) found.push_back(event.substr(9));
        }
        return found;
    }
    int lastProgress() const {
        int last = -1;
        for (const std::string& event : events) {
            if (event.rfind("progress: ", 0) == 0) last = std::stoi(event.substr(10));
        }
        return last;
    }

    std::vector<std::string> events;
};

class FakeServer : public ServerRegistration {
public:
    ServerCallResult call(const std::string& dll, const char* entry) override {
        calls.emplace_back(dll, entry);
        return result;
    }

    ServerCallResult result = ServerCallResult::Done;
    std::vector<std::pair<std::string, std::string>> calls;
};

class FakePrograms : public ProgramsFolders {
public:
    std::string common() override { return commonFolder; }
    std::string user() override { return userFolder; }

    std::string commonFolder = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs";
    std::string userFolder = "C:\\Documents and Settings\\pat\\Start Menu\\Programs";
};

}  // namespace qm::testing
