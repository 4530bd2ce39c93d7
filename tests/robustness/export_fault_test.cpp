// Export faults beyond those of export_test.cpp: a device behind a symlink, chosen through
// the window, and a flush to disk that fails, injected into kelvo-cli with strace.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <new>

#include "platform/codepage.h"
#include "platform/headless/headless_window.h"
#include "res/figure_dialog_template.h"
#include "res/resource.h"
#include "tests/robustness/group_tables.h"

namespace kelvo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kOld = "       1 170.0\r\n";

// The names in a folder, sorted.
std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

using ExportFault = test::WindowTest;

TEST_F(ExportFault, SymlinkToDevFullIsRefusedAndKept) {
    fs::create_symlink("/dev/full", dir / "table.txt");
    Open(test::kMen);
    ASSERT_TRUE(window->Press(res::kIdWriteTable));
    ASSERT_EQ(window->Messages().size(), 1u);
    EXPECT_NE(platform::AnsiToUtf8(window->Messages()[0]).find("не обычный файл"), std::string::npos)
        << platform::AnsiToUtf8(window->Messages()[0]);
    EXPECT_TRUE(fs::is_symlink(dir / "table.txt"));
    EXPECT_EQ(fs::read_symlink(dir / "table.txt"), "/dev/full");
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"BD", "table.txt"}));
}

// The side file of where the values come from, as other editors leave it: a byte-order mark
// taken, a bad line named while the others are kept, one of 600 MB (sparse) refused with a
// word instead of ending the window or kelvo-cli in a small address space.
TEST_F(ExportFault, ASideFileIsReadAsFarAsItCanBeAndAHugeOneIsRefused) {
    test::WriteAllGroupTables(dir.Path());
    test::WriteFileBytes(dir / "BD" / "female.src", "\xEF\xBB\xBF" "1 N\n16 N 2=illustrative\nnot a line\n19 N\n");
    Open(test::kWomen);
    const std::string status = platform::AnsiToUtf8(window->Text(res::kIdStatusLine));
    EXPECT_NE(status.find("не разобраны строки 3:"), std::string::npos) << status;
    window.reset();

    const fs::path huge = dir / "BD" / "female.src";
    fs::resize_file(huge, 600ll << 20);
    Open(test::kWomen);
    EXPECT_NE(platform::AnsiToUtf8(window->Text(res::kIdStatusLine)).find("слишком велик"), std::string::npos);
    EXPECT_GT(Rows(), 0);
    window.reset();
    const std::string command = "ulimit -v 1000000; ASAN_OPTIONS=detect_leaks=0 " KELVO_CLI " --data '" +
                                dir.DataDirectory() + "' --group women > /dev/null 2> '" + (dir / "stderr").string() + "'";
    const int code = std::system(command.c_str());
    const std::string said = test::ReadFileBytes(dir / "stderr");
    // Under AddressSanitizer the address space is too small for its shadow memory: kelvo-cli
    // cannot start at all, and there is nothing to learn.
    if (said.find("AddressSanitizer") != std::string::npos) return;
    EXPECT_TRUE(WIFEXITED(code) && WEXITSTATUS(code) == 0) << said;
    EXPECT_NE(said.find("слишком велик"), std::string::npos) << said;
}

// Out of memory in any handler, on opening or on a user's action, ends the step and keeps the
// window: Dialog::Open and Dialog::Deliver, which every front end goes through, catch it.
class Greedy : public platform::Dialog {
public:
    Greedy() : Dialog(res::FigureDialogTemplate()) {}
    bool OnEvent(platform::Event, int) override { throw std::bad_alloc(); }

protected:
    bool OnInitDialog() override { throw std::bad_alloc(); }
};

TEST(OutOfMemory, NoHandlerLetsItOut) {
    Greedy dialog;
    platform::headless::HeadlessWindow window(dialog);
    EXPECT_TRUE(window.IsOpen());
    ASSERT_TRUE(window.Press(res::kIdWriteTable));
    ASSERT_EQ(window.messages.size(), 2u);
    EXPECT_NE(platform::AnsiToUtf8(window.messages[1]).find("Недостаточно памяти"), std::string::npos);
    EXPECT_TRUE(window.IsOpen());
}

// Runs `command` through the shell; its exit status.
int RunShell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ExportFaultInjected, FailedFlushKeepsTheOldFileAndLeavesNoTemporary) {
    if (RunShell("command -v strace > /dev/null") != 0) GTEST_SKIP() << "strace is not installed";
    test::TempDir dir;
    test::WriteAllGroupTables(dir.Path());
    test::WriteFileBytes(dir / "table.txt", kOld);
    // LeakSanitizer cannot run under ptrace; a sanitized kelvo-cli would fail for that alone.
    const std::string command = "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o /dev/null -e trace=fsync "
                                "-e inject=fsync:error=EIO " KELVO_CLI " --data '" + dir.DataDirectory() +
                                "' --group 4 --export > /dev/null 2> '" + (dir / "stderr").string() + "'";
    EXPECT_NE(RunShell(command), 0);
    EXPECT_EQ(test::ReadFileBytes(dir / "table.txt"), kOld);
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"BD", "stderr", "table.txt"}));
    EXPECT_NE(test::ReadFileBytes(dir / "stderr").find("table.txt"), std::string::npos);

    // The same run without the fault writes the file.
    const std::string clean = std::string(KELVO_CLI) + " --data '" + dir.DataDirectory() + "' --group 4 --export > /dev/null";
    ASSERT_EQ(RunShell(clean), 0);
    EXPECT_NE(test::ReadFileBytes(dir / "table.txt"), kOld);
}

// Killed as it flushes the new file: the old file stays and nothing else is left behind.
// Not killed: the folder itself is flushed after the rename, which is only durable then.
TEST(ExportFaultInjected, KilledExportLeavesNothingAndAFinishedOneFlushesTheFolder) {
    if (RunShell("command -v strace > /dev/null") != 0) GTEST_SKIP() << "strace is not installed";
    test::TempDir dir;
    test::WriteAllGroupTables(dir.Path());
    test::WriteFileBytes(dir / "table.txt", kOld);
    const std::string cli = std::string(KELVO_CLI) + " --data '" + dir.DataDirectory() + "' --group 4 --export > /dev/null";
    const std::string strace = "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -y -e trace=fsync ";
    for (int run = 0; run < 3; ++run)
        EXPECT_NE(RunShell(strace + "-o /dev/null -e inject=fsync:signal=KILL " + cli), 0);
    EXPECT_EQ(test::ReadFileBytes(dir / "table.txt"), kOld);
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"BD", "table.txt"}));

    const fs::path log = dir.Path().parent_path() / (dir.Path().filename().string() + ".strace");
    ASSERT_EQ(RunShell(strace + "-o '" + log.string() + "' " + cli), 0);
    const std::string calls = test::ReadFileBytes(log);
    fs::remove(log);
    EXPECT_NE(calls.find("<" + dir.DataDirectory() + ">)"), std::string::npos) << calls;
}

}  // namespace
}  // namespace kelvo
