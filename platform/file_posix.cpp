// POSIX file access: descriptors opened with O_CLOEXEC, paths given the Windows way.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

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

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::string& native) {
    Close();
    // O_NONBLOCK: a FIFO put in the table's place would otherwise block the open, and the
    // window with it, until some other program wrote to it. Without a writer its reads then
    // end at once, and it cannot seek, so it is no table. Regular files ignore the flag.
    do {
        fd_ = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd_ < 0 && errno == EINTR);
    // A folder opens for reading on POSIX, but every read from it fails with EISDIR, so it
    // is refused at the first read without costing each field an fstat.
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

bool WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

WriteError ReplaceFile(const std::string& path, std::string_view bytes, int& systemError) {
    systemError = 0;
    const std::string target = NativePath(path);
    const auto fail = [&](int error) {
        systemError = error;
        return Classify(error);
    };

    mode_t mode = 0666;  // narrowed by the umask, as for any file the user creates
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        // Renaming over a device such as /dev/full, or over a folder, would not write
        // the file the user asked for; a read-only file is the user's wish to keep it.
        if (!S_ISREG(st.st_mode)) return fail(EISDIR);
        if (::access(target.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0) return fail(EACCES);
        mode = st.st_mode & 07777;
    }

    std::random_device entropy;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(entropy()));
        temp = target + suffix;
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) return fail(errno);
    }
    if (fd < 0) return fail(EEXIST);
    if (mode != 0666) ::fchmod(fd, mode);

    int error = 0;
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return fail(error);
    }
    return WriteError::None;
}

}  // namespace kelvo::platform
