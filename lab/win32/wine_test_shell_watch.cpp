// The lab sees what a module asks the shell to open by leading that
// module's import of ShellExecuteA to itself: here the module is this test
// program, which imports ShellExecuteA as the band does.

#include <windows.h>
#include <shellapi.h>
#include <unknwn.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lab/win32/shell_watch.h"
#include "lab/trace.h"

namespace qm::lab {
namespace {

// An object whose code lies in this program, as the band's lies in its DLL.
class Local : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

// What this program's import of ShellExecuteA leads to now: taking the
// address of an imported function reads its import slot (noipa: read
// anew at each call, never taken as a constant).
__attribute__((noipa)) void* ImportedShellExecute() {
    return reinterpret_cast<void*>(&ShellExecuteA);
}

TEST(ShellWatch, TracesWhatTheModuleAsksAndPutsItsImportBack) {
    Trace trace;
    void* before = ImportedShellExecute();
    Local local;
    {
        ShellWatch watch(trace);
        ASSERT_TRUE(watch.attach(&local));
        EXPECT_NE(ImportedShellExecute(), before);
        HINSTANCE done =
            ShellExecuteA(nullptr, "open", "C:\\qm\\qmhelp.chm", nullptr, nullptr, SW_SHOWNORMAL);
        EXPECT_GT(reinterpret_cast<INT_PTR>(done), 32);
        ShellExecuteA(nullptr, nullptr, "mailto:support@marrowlabs.example", "", nullptr,
                      SW_SHOWNORMAL);
        ShellExecuteA(nullptr, "print", "C:\\a b.txt", "/q", nullptr, SW_HIDE);
        watch.detach();
        EXPECT_EQ(ImportedShellExecute(), before);
        // Detached twice, or destroyed after a detach, it touches nothing.
        watch.detach();
        ASSERT_TRUE(watch.attach(&local));
    }
    EXPECT_EQ(ImportedShellExecute(), before);
    EXPECT_EQ(trace.lines(),
              (std::vector<std::string>{"shell open \"C:\\\\qm\\\\qmhelp.chm\"",
                                        "shell open \"mailto:support@marrowlabs.example\"",
                                        "shell print \"C:\\\\a b.txt\" parameters=\"/q\""}));
}

TEST(ShellWatch, AnObjectWithoutCodeIsNotWatched) {
    Trace trace;
    ShellWatch watch(trace);
    EXPECT_FALSE(watch.attach(nullptr));
    EXPECT_TRUE(trace.lines().empty());
}

}  // namespace
}  // namespace qm::lab
