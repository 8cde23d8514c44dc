#pragma once
// Whole runs of the two wizards along their usual path, for tests that need
// an installation (or its removal) as their starting point.

#include <gtest/gtest.h>

#include <string>

namespace qm::e2e {

constexpr int kBack = 0x3023;
constexpr int kNext = 0x3024;
constexpr int kFinish = 0x3025;
constexpr int kCancel = 2;

// The installer's pages, by index.
constexpr int kWelcomePage = 0;
constexpr int kOptionsPage = 1;
constexpr int kConfirmPage = 2;
constexpr int kProgressPage = 3;
constexpr int kFinishedPage = 4;

std::string SetupProgram();

struct InstallRun {
    std::string program = SetupProgram();
    bool startMenu = true;
    // Typed into the options page's folder edit key by key; empty keeps the
    // folder the installer proposes.
    std::string folder;
    // Screenshots are saved under this prefix; empty saves none.
    std::string screenshots;
};

// Welcome, options (answering the question to create the folder), licence,
// progress, finished, Finish; the installer must then end.
::testing::AssertionResult InstallWithWizard(const InstallRun& run = InstallRun());

// The same up to the progress page, where the procedure must fail with a
// message, which is answered; the installer must then end.
::testing::AssertionResult InstallFailingWith(const InstallRun& run, std::string& message);

// The uninstaller started as the uninstall entry names it: question, Yes,
// the final message; the uninstaller must then end.
::testing::AssertionResult UninstallWithWizard(const std::string& screenshots = "");

}  // namespace qm::e2e
