// POSIX file access: descriptors opened with O_CLOEXEC, paths given the Windows way.

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <string_view>

#include "platform/codepage.h"
#include "platform/file.h"

namespace kelvo::platform {

std::string NativePath(const std::string& path) {
    std::string native = path;
    for (char& c : native)
        if (c == '\\') c = '/';
    return native;
}

std::string PathText(const std::string& path) { return Utf8ToAnsi(NativePath(path)); }

std::string PathFromText(std::string_view text) { return AnsiToUtf8(text); }

bool PathFromUtf8(std::string_view utf8, std::string& path) {
    path = utf8;
    return true;
}

std::string PathToUtf8(const std::string& path) { return NativePath(path); }

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::string& native, bool stream) {
    Close();
    // O_NONBLOCK: a FIFO put in the table's place would otherwise block the open, and the
    // window with it, until some other program wrote to it. Without a writer its reads then
    // end at once, and it cannot seek, so it is no table. Regular files ignore the flag.
    do {
        fd_ = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd_ < 0 && errno == EINTR);
    // A folder opens for reading on POSIX, but every read from it fails with EISDIR, so it
    // is refused at the first read without costing each field an fstat.
    if (fd_ >= 0 && stream) {
        const int flags = ::fcntl(fd_, F_GETFL);
        if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
    }
    return fd_ >= 0;
}

std::int64_t InputFile::Read(void* buffer, std::int64_t count) {
    if (fd_ < 0 || count < 0) return -1;
    auto* out = static_cast<char*>(buffer);
    std::int64_t total = 0;
    // A short read is only the end of the file when read() says so: keep reading.
    while (total < count) {
        const ssize_t n = ::read(fd_, out + total, static_cast<std::size_t>(count - total));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return total > 0 ? total : -1;
        if (n == 0) break;
        total += n;
    }
    return total;
}

bool InputFile::Seek(std::int64_t offset) {
    return fd_ >= 0 && offset >= 0 && ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == offset;
}

bool InputFile::Size(std::int64_t& size) {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;
    size = st.st_size;
    return true;
}

void InputFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

namespace {

WriteError Classify(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG: return WriteError::NoSpace;
        case EACCES:
        case EPERM: return WriteError::NoPermission;
        case EROFS: return WriteError::ReadOnlyFileSystem;
        case ENOENT:
        case ENOTDIR: return WriteError::NoDirectory;
        case EISDIR: return WriteError::NotARegularFile;
        default: return WriteError::Other;
    }
}

// Flushes a file or folder to disk. In the browser build the files live in memory (or in the
// browser's storage, written back by the page), and Emscripten's fsync, which may wait there,
// fails on node's own file system: nothing to flush.
int Sync(int fd) {
#if defined(__EMSCRIPTEN__)
    (void)fd;
    return 0;
#else
    return ::fsync(fd);
#endif
}

bool WriteAll(int fd, std::string_view bytes, off_t at = -1) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = at < 0 ? ::write(fd, bytes.data() + done, bytes.size() - done)
                                 : ::pwrite(fd, bytes.data() + done, bytes.size() - done, at + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The file a path names once every symbolic link on the way is followed, so that a link
// stays a link and the file it points to is the one replaced. A link to a file that does
// not exist yet gives the path the file will have.
bool FollowLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size()) return false;
        link.resize(static_cast<std::size_t>(n));
        const auto slash = path.rfind('/');
        path = link.starts_with('/') || slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
    }
    errno = ELOOP;
    return false;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The temporary files of earlier exports that were killed before their rename: named
// "<file>.XXXXXXXX.tmp" beside the file. Each export holds a lock on its own while it
// lives, so one whose lock can be taken belongs to no running export.
void RemoveLeftovers(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string prefix = target.substr(target.rfind('/') + 1) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + 12 || !name.starts_with(prefix) || !name.ends_with(".tmp")) continue;
        const std::string_view middle = name.substr(prefix.size(), 8);
        if (middle.find_first_not_of("0123456789abcdef") != std::string_view::npos) continue;
        const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// A file of the folder's, written and flushed before it gets a name: unnamed (O_TMPFILE)
// where the file system allows, so that a kill leaves nothing; else under a random name.
// Locked either way, for RemoveLeftovers.
class TempFile {
public:
    ~TempFile() {
        if (!name_.empty()) ::unlink(name_.c_str());
        if (fd_ >= 0) ::close(fd_);
    }
    // errno on failure.
    bool Create(const std::string& target, mode_t mode) {
        fd_ = ::open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
        if (fd_ < 0) {
            std::random_device entropy;
            for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
                const std::string name = NameBeside(target, entropy());
                fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
                if (fd_ >= 0) name_ = name;
                else if (errno != EEXIST) return false;
            }
            if (fd_ < 0) return false;
        }
        ::flock(fd_, LOCK_EX | LOCK_NB);
        if (mode != 0666) ::fchmod(fd_, mode);
        return true;
    }
    int Fd() const { return fd_; }
    // Puts the written file in the target's place; errno on failure.
    bool Replace(const std::string& target) {
        if (name_.empty()) {
            // linkat cannot replace a file: give it a name of its own, then rename that.
            std::random_device entropy;
            char proc[64];
            std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd_);
            for (int attempt = 0; attempt < 16 && name_.empty(); ++attempt) {
                const std::string name = NameBeside(target, entropy());
                if (::linkat(AT_FDCWD, proc, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) name_ = name;
                else if (errno != EEXIST) return false;
            }
            if (name_.empty()) return false;
        }
        if (::rename(name_.c_str(), target.c_str()) != 0) return false;
        name_.clear();
        return true;
    }

private:
    static std::string NameBeside(const std::string& target, unsigned random) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", random);
        return target + suffix;
    }
    int fd_ = -1;
    std::string name_;
};

// Rewrites an existing file in place: for a file with other hard links, which must all
// see the new bytes, and for a writable file in a folder that is not. A failed write puts
// the old bytes back. errno on failure.
bool RewriteInPlace(const std::string& target, std::string_view bytes) {
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    std::string old;
    char buffer[65536];
    ssize_t n;
    while ((n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(old.size()))) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return false;
        }
        old.append(buffer, static_cast<std::size_t>(n));
    }
    bool written = WriteAll(fd, bytes, 0) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
                   Sync(fd) == 0;
    const int error = errno;
    if (!written) {
        WriteAll(fd, old, 0);
        [[maybe_unused]] const int restored = ::ftruncate(fd, static_cast<off_t>(old.size()));
        Sync(fd);
    }
    if (::close(fd) != 0 && written) return false;
    errno = error;
    return written;
}

// The rename is only durable once the folder is flushed: a power cut could otherwise bring
// the old file back after the export said it was written.
bool SyncFolder(const std::string& target) {
    const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = Sync(fd) == 0 || errno == EINVAL;  // some file systems cannot
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

}  // namespace

bool ResolvedPath(const std::string& path, std::string& resolved) {
    resolved = NativePath(path);
    return FollowLinks(resolved);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {}, second {};
    return ::stat(NativePath(a).c_str(), &first) == 0 && ::stat(NativePath(b).c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool IsStream(const std::string& path) {
    struct stat st {};
    return ::stat(NativePath(path).c_str(), &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISSOCK(st.st_mode));
}

bool WriteToStream(const std::string& path, std::string_view bytes, int& systemError) {
    const int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    bool written = fd >= 0 && WriteAll(fd, bytes);
    systemError = written ? 0 : errno;
    if (fd >= 0 && ::close(fd) != 0 && written) written = false, systemError = errno;
    return written;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool LinkFile(const std::string& existing, const std::string& link) {
    return ::link(NativePath(existing).c_str(), NativePath(link).c_str()) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(NativePath(path).c_str()) == 0; }

FolderLock::FolderLock(const std::string& path) {
    const int fd = ::open(FolderOf(NativePath(path)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // no folder: the write that follows fails and says so
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    handle_ = fd;
}

FolderLock::~FolderLock() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));  // and with it the lock
}

WriteError ReplaceFile(const std::string& path, std::string_view bytes, int& systemError) {
    systemError = 0;
    std::string target = NativePath(path);
    const auto fail = [&](int error) {
        systemError = error;
        return Classify(error);
    };
    if (!FollowLinks(target)) return fail(errno);

    mode_t mode = 0666;  // narrowed by the umask, as for any file the user creates
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists) {
        // Renaming over a device such as /dev/full, or over a folder, would not write
        // the file the user asked for; a read-only file is the user's wish to keep it.
        if (!S_ISREG(st.st_mode)) return fail(EISDIR);
        if (::access(target.c_str(), W_OK) != 0) return fail(errno);  // EROFS stays EROFS
        if ((st.st_mode & 0222) == 0) return fail(EACCES);
        mode = st.st_mode & 07777;
        if (st.st_nlink > 1) return RewriteInPlace(target, bytes) ? WriteError::None : fail(errno);
    }

    RemoveLeftovers(target);
    TempFile temp;
    if (!temp.Create(target, mode)) {
        const int error = errno;
        if (exists && (error == EACCES || error == EPERM))
            return RewriteInPlace(target, bytes) ? WriteError::None : fail(errno);
        return fail(error);
    }
    if (!WriteAll(temp.Fd(), bytes) || Sync(temp.Fd()) != 0 || !temp.Replace(target) || !SyncFolder(target))
        return fail(errno);
    return WriteError::None;
}

}  // namespace kelvo::platform
