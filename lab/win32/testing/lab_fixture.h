#pragma once
// A lab of the test's own: a scenario from text, a trace, the Lab, and a
// check at the end that every lab object the test made was released.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "lab/win32/lab.h"
#include "lab/scenario.h"
#include "lab/trace.h"

namespace qm::lab::testing {

class LabFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Parses `text` as the scenario and makes the lab.
    void load(const std::string& text);
    Lab& lab() { return *lab_; }
    Trace& trace() { return trace_; }
    bool traced(const std::string& pattern) const;
    std::string traceText() const;

    // Pumps messages until `done` or `milliseconds` have passed; whether `done`.
    static bool waitFor(const std::function<bool()>& done, unsigned milliseconds = 3000);

    Scenario scenario_;
    Trace trace_;
    std::unique_ptr<Lab> lab_;

private:
    long liveAtStart_ = 0;
    HRESULT ole_ = E_FAIL;
};

}  // namespace qm::lab::testing
