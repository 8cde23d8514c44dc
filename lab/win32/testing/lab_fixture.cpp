#include "lab/win32/testing/lab_fixture.h"

#include <ole2.h>

#include "lab/win32/com_object.h"
#include "lab/expectation.h"
#include "lab/scenario_parser.h"
#include "lab/win32/scheduler.h"

namespace qm::lab::testing {

void LabFixture::SetUp() {
    ole_ = OleInitialize(nullptr);
    liveAtStart_ = LiveLabObjects();
}

void LabFixture::TearDown() {
    lab_.reset();
    // Work the lab posted (window closes) runs, then nothing may be left.
    PumpMessages(50);
    EXPECT_EQ(LiveLabObjects(), liveAtStart_) << "lab objects still alive after the test";
    if (SUCCEEDED(ole_)) OleUninitialize();
}

void LabFixture::load(const std::string& text) {
    ParsedScenario parsed = ParseScenario(text);
    for (const ScenarioError& error : parsed.errors) {
        ADD_FAILURE() << "scenario line " << error.line << ": " << error.message;
    }
    scenario_ = std::move(parsed.scenario);
    lab_ = std::make_unique<Lab>(scenario_, trace_);
}

bool LabFixture::traced(const std::string& pattern) const {
    for (const std::string& line : trace_.lines()) {
        if (PatternMatches(pattern, line)) return true;
    }
    return false;
}

std::string LabFixture::traceText() const {
    std::string text;
    for (const std::string& line : trace_.lines()) text += line + "\n";
    return text;
}

bool LabFixture::waitFor(const std::function<bool()>& done, unsigned milliseconds) {
    PumpMessages(milliseconds, done);
    return done();
}

}  // namespace qm::lab::testing
