// The part of the C++ runtime the programs take from us: statics made once
// across threads, allocation failures, and frames larger than a page.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <new>

namespace {

LONG volatile madeCount = 0;

struct SlowToMake {
    SlowToMake() {
        InterlockedIncrement(&madeCount);
        // Long enough that the other thread arrives while this one is inside.
        Sleep(300);
        value = 42;
    }
    int value = 0;
};

const SlowToMake& TheSlowOne() {
    static SlowToMake one;
    return one;
}

struct Racer {
    HANDLE start = nullptr;
    const SlowToMake* seen = nullptr;
    int value = 0;
};

DWORD WINAPI Race(void* parameter) {
    auto* racer = static_cast<Racer*>(parameter);
    WaitForSingleObject(racer->start, INFINITE);
    racer->seen = &TheSlowOne();
    racer->value = racer->seen->value;
    return 0;
}

TEST(RuntimeStatics, TwoThreadsRacingIntoOneSeeOneInitialisation) {
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(start, nullptr);
    Racer racers[2];
    HANDLE threads[2] = {};
    for (int i = 0; i < 2; ++i) {
        racers[i].start = start;
        threads[i] = CreateThread(nullptr, 0, Race, &racers[i], 0, nullptr);
        ASSERT_NE(threads[i], nullptr);
    }
    SetEvent(start);
    EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, 10000), WAIT_OBJECT_0);
    for (HANDLE thread : threads) CloseHandle(thread);
    CloseHandle(start);
    EXPECT_EQ(madeCount, 1);
    EXPECT_EQ(racers[0].seen, racers[1].seen);
    // The thread that waited returns only once the object is whole.
    EXPECT_EQ(racers[0].value, 42);
    EXPECT_EQ(racers[1].value, 42);
}

int ReachesItself();

int MadeFromItself() {
    return ReachesItself() + 1;
}

int ReachesItself() {
    static int value = MadeFromItself();
    return value;
}

TEST(RuntimeStaticsDeathTest, AStaticMadeFromItselfEndsTheProcess) {
    EXPECT_DEATH(ReachesItself(), "");
}

TEST(RuntimeAllocation, NothrowNewAnswersNullAndPlainNewEndsTheProcess) {
    // Known only at run time, so the compiler lets it be asked for.
    volatile std::size_t threeQuartersOfMemory = SIZE_MAX / 4 * 3;
    const std::size_t tooMuch = threeQuartersOfMemory;
    char* block = new (std::nothrow) char[tooMuch];
    EXPECT_EQ(block, nullptr);
    delete[] block;
    EXPECT_DEATH(operator delete(operator new(tooMuch)), "");
    char* small = new (std::nothrow) char[16];
    EXPECT_NE(small, nullptr);
    delete[] small;
}

// A frame of many pages, written at its far end first: only a stack grown
// page by page from the top reaches it.
DWORD WINAPI UseBigFrame(void*) {
    volatile char frame[256 * 1024];
    frame[0] = 1;
    frame[sizeof frame - 1] = 2;
    return frame[0] + frame[sizeof frame - 1];
}

TEST(RuntimeStack, AFrameOfManyPagesGrowsTheStack) {
    HANDLE thread = CreateThread(nullptr, 1024 * 1024, UseBigFrame, nullptr,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    EXPECT_EQ(code, 3u);
}

}  // namespace
