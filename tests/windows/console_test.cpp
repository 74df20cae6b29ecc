// tq550 in a Windows console: the progress line, Unicode text, and Ctrl+C through the console control
// handler. Each test gives the process a console of its own (Wine provides one without a display), so that
// console calls and console events reach it whatever started the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "cli/console_progress_bar.h"
#include "cli/console_stream.h"
#include "model/data.h"
#include "model/parameter_address.h"
#include "transfer/transfer_rig.h"

namespace {

// The screen of the console the process runs in.
class ConsoleScreen {
  public:
    ConsoleScreen()
        : screen_(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~ConsoleScreen() {
        if (screen_ != INVALID_HANDLE_VALUE) ::CloseHandle(screen_);
    }
    ConsoleScreen(const ConsoleScreen&) = delete;
    ConsoleScreen& operator=(const ConsoleScreen&) = delete;

    bool Readable() const {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        return ::GetConsoleScreenBufferInfo(screen_, &info) != 0;
    }
    // The characters of a row, without the blanks at its end.
    std::wstring Row(int row) const {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        ::GetConsoleScreenBufferInfo(screen_, &info);
        std::wstring text(static_cast<std::size_t>(info.dwSize.X), L' ');
        DWORD read = 0;
        ::ReadConsoleOutputCharacterW(screen_, text.data(), static_cast<DWORD>(text.size()),
                                      COORD{0, static_cast<SHORT>(row)}, &read);
        text.resize(read);
        text.erase(text.find_last_not_of(L' ') + 1);
        return text;
    }
    COORD Cursor() const {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        ::GetConsoleScreenBufferInfo(screen_, &info);
        return info.dwCursorPosition;
    }

  private:
    HANDLE screen_;
};

// Gives the process a console of its own, so that the Ctrl+C events it makes reach no other process.
// (Without a display this console shows nothing, but it delivers its events.)
bool IsolatedConsole() {
    ::FreeConsole();
    return ::AllocConsole() != 0;
}

// Presses Ctrl+C in the process's console and waits until the handlers have seen it.
bool PressCtrlC() {
    if (!::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!CConsoleProgressBar::Interrupted() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return CConsoleProgressBar::Interrupted();
}

// Passes a transfer's progress on to the console's progress line, and presses Ctrl+C once the given
// position is reached.
class CtrlCAtPosition : public CKivProgressBar {
  public:
    CtrlCAtPosition(CKivProgressBar& line, int position) : line_(line), position_(position) {}
    void Begin(int range, const std::string& caption, bool cancellable) override {
        line_.Begin(range, caption, cancellable);
    }
    void End() override { line_.End(); }
    void SetPosition(int position) override {
        line_.SetPosition(position);
        if (position == position_) pressed = PressCtrlC();
    }
    void SetPatch(int area, int number) override { line_.SetPatch(area, number); }
    bool IsCancelled() override { return line_.IsCancelled(); }
    bool pressed = false;

  private:
    CKivProgressBar& line_;
    int position_;
};

}  // namespace

// Registered to run on a terminal, which Wine makes the process's console (cmake/wine-run.sh --terminal).
TEST(WindowsTerminal, TheProgressLineIsRedrawnInPlaceWithItsUnicodeCaption) {
    ConsoleScreen console;
    ASSERT_TRUE(IsConsole(stderr)) << "standard error must be a console";
    ASSERT_TRUE(console.Readable());
    const SHORT row = console.Cursor().Y;
    {
        CConsoleProgressBar bar;
        bar.Begin(10, "Lecture de la biblioth\xC3\xA8que \xE6\x97\xA5\xE6\x9C\xAC", true);
        bar.SetPosition(3);
        EXPECT_EQ(console.Row(row),
                  L"[#########                     ] 3/10 Lecture de la biblioth\u00e8que \u65e5\u672c");
        // A shorter line leaves nothing of the longer one behind, on the same row.
        bar.SetPatch(AREA_TEMPORARY_PATCH, 0);
        bar.SetPosition(10);
        EXPECT_EQ(console.Row(row), L"[##############################] 10/10 Temporary Patch");
        bar.End();
    }
    // The finished line stays; what follows starts on the next row.
    EXPECT_EQ(console.Cursor().X, 0);
    EXPECT_EQ(console.Cursor().Y, row + 1);
    ASSERT_TRUE(WriteText(stderr, "fertig \xE2\x9C\x93\n"));
    EXPECT_EQ(console.Row(row + 1), L"fertig \u2713");
}

TEST(WindowsConsole, ARedirectedStreamIsNoConsoleAndGetsNoProgressLine) {
    const std::wstring file = std::wstring(_wgetenv(L"TEMP")) + L"\\tq550-console-test.txt";
    ASSERT_NE(_wfreopen(file.c_str(), L"wb", stderr), nullptr);
    EXPECT_FALSE(IsConsole(stderr));
    {
        CConsoleProgressBar bar;
        bar.Begin(10, "file", true);
        bar.SetPosition(5);
        bar.End();
    }
    ASSERT_TRUE(WriteText(stderr, "caf\xC3\xA9\n"));
    std::fclose(stderr);
    std::FILE* written = _wfopen(file.c_str(), L"rb");
    ASSERT_NE(written, nullptr);
    char bytes[64] = {};
    const std::size_t count = std::fread(bytes, 1, sizeof bytes, written);
    std::fclose(written);
    ::DeleteFileW(file.c_str());
    // Only the text, as UTF-8 bytes.
    EXPECT_EQ(std::string(bytes, count), "caf\xC3\xA9\n");

    // The null device is a character device as a console is, but no console.
    ASSERT_NE(_wfreopen(L"NUL", L"wb", stderr), nullptr);
    EXPECT_FALSE(IsConsole(stderr));
}

TEST(WindowsConsole, TheFirstCtrlCCancelsATransferAndTheProgramGoesOn) {
    ASSERT_TRUE(IsolatedConsole());
    TransferRig rig;
    CConsoleProgressBar line;
    auto pressing = std::make_shared<CtrlCAtPosition>(line, 3);
    rig.environment.SetProgressBar(pressing);
    CPatchArray patches;
    patches.Resize(20);
    const std::vector<int> numbers{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    rig.device.WithEmulator([](CTq550Emulator& emulator) {
        for (int i = 0; i < 20; ++i)
            emulator.UserPatch(i)[0] = 'D';
        return 0;
    });

    EXPECT_FALSE(rig.reader.ReadPatchesFromDevice(AREA_USER_PATCH, numbers, patches));
    ASSERT_TRUE(pressing->pressed);
    EXPECT_TRUE(rig.reader.WasCancelled());
    // The read stopped at the patch it was on: the first ones came from the device, the last did not.
    EXPECT_EQ(patches[0].GetName()[0], 'D');
    EXPECT_NE(patches[19].GetName()[0], 'D');
}

TEST(WindowsConsoleDeathTest, TheSecondCtrlCEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (!IsolatedConsole()) std::exit(1);
            CConsoleProgressBar bar;
            if (!PressCtrlC()) std::exit(2);
            // The first was taken as Cancel; the second goes on to the system's handler.
            ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
            ::Sleep(20000);
            std::exit(3);
        },
        // Windows ends the process with STATUS_CONTROL_C_EXIT, Wine with 0, which this code never gives.
        [](int status) { return status == static_cast<int>(STATUS_CONTROL_C_EXIT) || status == 0; }, "");
}
