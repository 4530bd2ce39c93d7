// Writing table.txt when the disk, the folder or the file refuse: the old file survives
// byte for byte, no temporary file stays behind, and the user is told.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <grp.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "platform/codepage.h"
#include "results/export.h"
#include "tests/support/temp_dir.h"

namespace kelvo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kOld = "       1 170.0\r\n      16 50.0\r\n";

class ExportFailure : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 2000; ++i) {
            auto& row = table.Append();
            row.cells[0] = std::to_string(i);
            row.cells[2] = "123.4";
        }
    }
    std::string Target() const { return (folder / "table.txt").string(); }
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        return names;
    }
    // The file kept as it was, nothing else in the folder.
    void ExpectOldFileKept() {
        EXPECT_EQ(test::ReadFileBytes(folder / "table.txt"), kOld);
        EXPECT_EQ(Listing(), std::vector<std::string>{"table.txt"});
    }
    // Runs the export in a child process (for limits and identities that must not leak
    // into the test runner); returns whether it succeeded, and the message through a pipe.
    bool ExportInChild(const std::function<void()>& prepare, std::string& message) {
        int fds[2];
        if (::pipe(fds) != 0) return false;
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            prepare();
            std::string text;
            const bool ok = results::WriteTableText(Target(), table, text);
            [[maybe_unused]] auto n = ::write(fds[1], text.data(), text.size());
            ::_exit(ok ? 0 : 1);
        }
        ::close(fds[1]);
        char buffer[512];
        ssize_t n;
        message.clear();
        while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) message.append(buffer, static_cast<std::size_t>(n));
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    test::TempDir dir;
    fs::path folder = dir / "data";
    results::ResultTable table;
};

TEST_F(ExportFailure, FullDiskBySizeLimit) {
    fs::create_directories(folder);
    test::WriteFileBytes(folder / "table.txt", kOld);
    std::string message;
    EXPECT_FALSE(ExportInChild(
        [] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{8192, 8192};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        },
        message));
    ExpectOldFileKept();
    EXPECT_NE(message.find(Target()), std::string::npos);
    EXPECT_NE(platform::AnsiToUtf8(message).find("нет места"), std::string::npos) << message;
}

TEST_F(ExportFailure, FullDiskOnASmallFileSystem) {
    fs::create_directories(folder);
    if (::geteuid() != 0 || ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=16k") != 0)
        GTEST_SKIP() << "mounting a tmpfs needs root and a mount namespace that allows it";
    test::WriteFileBytes(folder / "table.txt", kOld);
    std::string message;
    EXPECT_FALSE(results::WriteTableText(Target(), table, message));
    ExpectOldFileKept();
    ::umount(folder.c_str());
}

TEST_F(ExportFailure, FolderWithoutWritePermission) {
    fs::create_directories(folder);
    test::WriteFileBytes(folder / "table.txt", kOld);
    ::chmod(folder.c_str(), 0755);
    ::chmod(dir.Path().c_str(), 0755);
    std::string message;
    // Root writes anywhere: drop to an ordinary user, as setpriv would.
    EXPECT_FALSE(ExportInChild(
        [] {
            if (::geteuid() == 0) {
                if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
                    ::setresuid(65534, 65534, 65534) != 0)
                    ::_exit(3);
            }
        },
        message));
    ExpectOldFileKept();
    EXPECT_NE(platform::AnsiToUtf8(message).find("нет права"), std::string::npos) << message;
}

TEST_F(ExportFailure, ReadOnlyFileSystem) {
    fs::create_directories(folder);
    test::WriteFileBytes(folder / "table.txt", kOld);
    if (::geteuid() != 0 || ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "a read-only bind mount needs root";
    if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        ::umount(folder.c_str());
        GTEST_SKIP() << "remounting read-only is not allowed here";
    }
    std::string message;
    EXPECT_FALSE(results::WriteTableText(Target(), table, message));
    ::umount(folder.c_str());
    ExpectOldFileKept();
    EXPECT_NE(platform::AnsiToUtf8(message).find("только для чтения"), std::string::npos) << message;
}

// A folder locked down with a file made writable in it: the file is rewritten in place, and
// a write that fails puts the old bytes back.
TEST_F(ExportFailure, WritableFileInAFolderWithoutWritePermission) {
    fs::create_directories(folder);
    test::WriteFileBytes(folder / "table.txt", kOld);
    ::chmod(folder.c_str(), 0755);
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod(Target().c_str(), 0666);
    const auto asNobody = [](bool sizeLimit) {
        return [sizeLimit] {
            if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
                                     ::setresuid(65534, 65534, 65534) != 0))
                ::_exit(3);
            if (sizeLimit) {
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{8192, 8192};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
        };
    };
    std::string message;
    EXPECT_FALSE(ExportInChild(asNobody(true), message));
    ExpectOldFileKept();
    EXPECT_NE(platform::AnsiToUtf8(message).find("нет места"), std::string::npos) << message;
    EXPECT_TRUE(ExportInChild(asNobody(false), message)) << message;
    EXPECT_EQ(test::ReadFileBytes(folder / "table.txt"), results::BuildTableText(table));
    EXPECT_EQ(Listing(), std::vector<std::string>{"table.txt"});
}

TEST_F(ExportFailure, ReadOnlyFileIsNotReplaced) {
    fs::create_directories(folder);
    test::WriteFileBytes(folder / "table.txt", kOld);
    ::chmod(Target().c_str(), 0444);
    std::string message;
    EXPECT_FALSE(results::WriteTableText(Target(), table, message));
    ExpectOldFileKept();
}

TEST_F(ExportFailure, TargetThatIsNoRegularFileIsRefused) {
    fs::create_directories(folder / "table.txt");
    std::string message;
    EXPECT_FALSE(results::WriteTableText(Target(), table, message));
    EXPECT_TRUE(fs::is_directory(folder / "table.txt"));
    EXPECT_EQ(Listing(), std::vector<std::string>{"table.txt"});

    fs::remove(folder / "table.txt");
    fs::create_symlink("/dev/null", folder / "table.txt");
    EXPECT_FALSE(results::WriteTableText(Target(), table, message));
    EXPECT_TRUE(fs::is_symlink(folder / "table.txt"));
}

TEST_F(ExportFailure, MissingFolder) {
    std::string message;
    EXPECT_FALSE(results::WriteTableText(Target(), table, message));
    EXPECT_NE(platform::AnsiToUtf8(message).find("папка не существует"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(folder));
}

TEST(Export, NewFileHasOrdinaryPermissionsAndAnOldOneKeepsItsOwn) {
    test::TempDir dir;
    results::ResultTable table;
    table.Append().cells = {"1", "name", "170.0", "", "", ""};
    const mode_t old = ::umask(022);
    std::string message;
    const std::string path = (dir / "table.txt").string();
    ASSERT_TRUE(results::WriteTableText(path, table, message));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(results::WriteTableText(path, table, message));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ::umask(old);
    EXPECT_EQ(test::ReadFileBytes(path), "1 170.0\r\n");
}

TEST(Export, BytesAreWrittenAsTheRowsHoldThem) {
    results::ResultTable table;
    table.Append().cells = {"  16", "", "\xcf\xf0\xe8\xec\xe5\xf0 ", "", "", ""};
    table.Append().cells = {"", "", "", "", "", ""};
    table.Append().cells = {"1\n", "", "2\n3", "", "", ""};  // every line ends in CR LF
    EXPECT_EQ(results::BuildTableText(table), "  16 \xcf\xf0\xe8\xec\xe5\xf0 \r\n \r\n1\r\n 2\r\n3\r\n");
}

// What other names point at the file must see the new bytes: a symbolic link stays a link
// to its file, a hard link shares the new content, and neither folder keeps a temporary.
TEST(Export, LinksToTheFileKeepPointingAtTheNewBytes) {
    test::TempDir dir;
    results::ResultTable table;
    table.Append().cells = {"1", "name", "170.0", "", "", ""};
    fs::create_directories(dir / "data");
    fs::create_directories(dir / "real");
    test::WriteFileBytes(dir / "real" / "table.txt", kOld);
    fs::create_symlink("../real/table.txt", dir / "data" / "table.txt");
    std::string message;
    ASSERT_TRUE(results::WriteTableText((dir / "data" / "table.txt").string(), table, message)) << message;
    EXPECT_EQ(fs::read_symlink(dir / "data" / "table.txt"), "../real/table.txt");
    EXPECT_EQ(test::ReadFileBytes(dir / "real" / "table.txt"), "1 170.0\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), {}), 1);

    fs::create_hard_link(dir / "real" / "table.txt", dir / "real" / "copy.txt");
    table[0].cells[2] = "171.0";
    ASSERT_TRUE(results::WriteTableText((dir / "data" / "table.txt").string(), table, message)) << message;
    EXPECT_EQ(test::ReadFileBytes(dir / "real" / "copy.txt"), "1 171.0\r\n");
    EXPECT_EQ(fs::hard_link_count(dir / "real" / "table.txt"), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), {}), 2);
}

// The temporary file of an export killed before its rename is removed by the next export;
// one that a running export still holds (locked) is left to it.
TEST(Export, TemporaryOfAKilledExportIsRemoved) {
    test::TempDir dir;
    results::ResultTable table;
    test::WriteFileBytes(dir / "table.txt.0badf00d.tmp", "killed");
    test::WriteFileBytes(dir / "table.txt.1234abcd.tmp", "running");
    test::WriteFileBytes(dir / "table.txt.notours.tmp", "someone else's");
    const int running = ::open((dir / "table.txt.1234abcd.tmp").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);
    std::string message;
    ASSERT_TRUE(results::WriteTableText((dir / "table.txt").string(), table, message)) << message;
    ::close(running);
    EXPECT_FALSE(fs::exists(dir / "table.txt.0badf00d.tmp"));
    EXPECT_TRUE(fs::exists(dir / "table.txt.1234abcd.tmp"));
    EXPECT_TRUE(fs::exists(dir / "table.txt.notours.tmp"));
}

}  // namespace
}  // namespace kelvo
