// Drives kelvo.exe as a user would, from outside its process: starts it, waits until its
// window shows a computed figure, lets a picture be taken, presses "Записать значение в файл"
// and then "Выход", and reports how the program ended.
//
// usage: kelvo_driver.exe KELVO.EXE "ARGUMENTS" SIGNAL-FOLDER
// The driver writes SIGNAL-FOLDER\ready when the figure shows: the window's rectangle on the
// screen, the number of rows and the group list's selection; it goes on once
// SIGNAL-FOLDER\shot exists. Exit code 0 when the program
// showed rows, took both presses and ended with code 0.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kGroupList = 1000;
constexpr int kResultList = 1004;
constexpr int kWriteTable = 1008;
constexpr int kExit = 1;
constexpr DWORD kPatience = 60000;  // ms for each step; Wine starts slowly on a busy machine
constexpr DWORD kPoll = 50;

struct Search {
    DWORD process;
    HWND found;
};

HWND FindDialog(DWORD process) {
    Search search{process, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            if (owner == s->process && std::string(name) == "#32770" && IsWindowVisible(window)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits until `ready` says yes; false when the patience runs out.
template <class Condition>
bool WaitFor(Condition ready) {
    for (DWORD waited = 0; waited < kPatience; waited += kPoll) {
        if (ready()) return true;
        Sleep(kPoll);
    }
    return false;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int Fail(const char* what) {
    std::fprintf(stderr, "kelvo_driver: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // The window's rectangle in real pixels: a driver the system takes for DPI-unaware would
    // be told a rectangle scaled back to 96 DPI.
    using SetAwareFunction = BOOL(WINAPI*)();
    if (const auto aware = reinterpret_cast<SetAwareFunction>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware"))))
        aware();
    if (argc != 4) return Fail("usage: kelvo_driver.exe KELVO.EXE \"ARGUMENTS\" SIGNAL-FOLDER");
    const std::string signals = argv[3];
    std::string commandLine = std::string("\"") + argv[1] + "\" " + argv[2];
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return Fail("kelvo.exe did not start");

    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = FindDialog(process.dwProcessId)) != nullptr; }))
        return Fail("no window appeared");
    HWND list = GetDlgItem(dialog, kResultList);
    int rows = 0;
    if (!WaitFor([&] { return (rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0))) > 0; }))
        return Fail("the window shows no figure");

    RECT frame{};
    GetWindowRect(dialog, &frame);
    if (FILE* ready = std::fopen((signals + "\\ready").c_str(), "w")) {
        const auto group = static_cast<int>(SendMessageA(GetDlgItem(dialog, kGroupList), CB_GETCURSEL, 0, 0));
        std::fprintf(ready, "%ld %ld %ld %ld %d %d\n", frame.left, frame.top, frame.right - frame.left,
                     frame.bottom - frame.top, rows, group);
        std::fclose(ready);
    }
    if (!WaitFor([&] { return FileExists(signals + "\\shot"); })) return Fail("no picture was taken");

    // BM_CLICK is a button's own press, with its down and up; it returns once the handler ran.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(GetDlgItem(dialog, kWriteTable), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kPatience, &ignored))
        return Fail("the export button did not answer");
    PostMessageA(GetDlgItem(dialog, kExit), BM_CLICK, 0, 0);
    if (WaitForSingleObject(process.hProcess, kPatience) != WAIT_OBJECT_0) return Fail("kelvo.exe did not end");
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("kelvo.exe showed %d rows and ended with code %lu\n", rows, code);
    return code == 0 ? 0 : 1;
}
