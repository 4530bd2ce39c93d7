// Windows file access through the C runtime's descriptors, in binary mode: the tables are
// raw bytes and table.txt already carries its CR LF line ends.

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
// windows.h maps the old name to a Win32 function of its own; the name here is the platform's.
#undef ReplaceFile

#include <cerrno>
#include <algorithm>
#include <cstdio>

#include "platform/codepage.h"
#include "platform/file.h"

namespace kelvo::platform {

std::string NativePath(const std::string& path) { return path; }

std::string PathText(const std::string& path) { return path; }

std::string PathFromText(std::string_view text) { return std::string(text); }

bool PathFromUtf8(std::string_view utf8, std::string& path) {
    // The ANSI file calls would turn a sign 1251 lacks into '?' and open another file.
    path = Utf8ToAnsi(utf8);
    return AnsiToUtf8(path) == utf8;
}

std::string PathToUtf8(const std::string& path) { return AnsiToUtf8(path); }

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::string& path, bool) {
    Close();
    fd_ = ::_open(path.c_str(), _O_RDONLY | _O_BINARY);
    return fd_ >= 0;
}

std::int64_t InputFile::Read(void* buffer, std::int64_t count) {
    if (fd_ < 0 || count < 0) return -1;
    auto* out = static_cast<char*>(buffer);
    std::int64_t total = 0;
    // _read takes an unsigned int count: read large requests in pieces.
    while (total < count) {
        const std::int64_t piece = std::min<std::int64_t>(count - total, 1 << 30);
        const int n = ::_read(fd_, out + total, static_cast<unsigned>(piece));
        if (n < 0) return total > 0 ? total : -1;
        if (n == 0) break;
        total += n;
    }
    return total;
}

bool InputFile::Seek(std::int64_t offset) {
    return fd_ >= 0 && offset >= 0 && ::_lseeki64(fd_, offset, SEEK_SET) == offset;
}

bool InputFile::Size(std::int64_t& size) {
    if (fd_ < 0) return false;
    const std::int64_t length = ::_filelengthi64(fd_);
    if (length < 0) return false;
    size = length;
    return true;
}

void InputFile::Close() {
    if (fd_ >= 0) ::_close(fd_);
    fd_ = -1;
}

namespace {

WriteError ClassifyErrno(int error) {
    switch (error) {
        case ENOSPC:
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

WriteError ClassifyWindowsError(DWORD error) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return WriteError::NoSpace;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return WriteError::NoPermission;
        case ERROR_WRITE_PROTECT: return WriteError::ReadOnlyFileSystem;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH: return WriteError::NoDirectory;
        case ERROR_DIRECTORY: return WriteError::NotARegularFile;
        default: return WriteError::Other;
    }
}

bool WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t piece = std::min<std::size_t>(bytes.size() - done, 1u << 30);
        const int n = ::_write(fd, bytes.data() + done, static_cast<unsigned>(piece));
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The file a path names with every symbolic link followed, so that a link stays a link and
// its target is replaced in its own folder; the path unchanged when it names no link.
std::string FollowLinks(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return path;
    char final[MAX_PATH * 2];
    const DWORD n = GetFinalPathNameByHandleA(file, final, sizeof final, FILE_NAME_NORMALIZED);
    CloseHandle(file);
    if (n == 0 || n >= sizeof final) return path;
    std::string resolved(final, n);
    if (resolved.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + resolved.substr(8);
    if (resolved.rfind("\\\\?\\", 0) == 0) return resolved.substr(4);
    return resolved;
}

DWORD LinkCount(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    BY_HANDLE_FILE_INFORMATION info{};
    const DWORD links = GetFileInformationByHandle(file, &info) ? info.nNumberOfLinks : 1;
    CloseHandle(file);
    return links;
}

// The temporary files of earlier exports killed before their move: "<file>.XXXXXXXX.tmp"
// beside the file. A running export holds its own open without sharing its deletion, so
// only the leftovers of exports that ended can be deleted.
void RemoveLeftovers(const std::string& target) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((target + ".????????.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    const auto slash = target.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Rewrites an existing file in place, for a file with other hard links and for a writable
// file in a folder that is not; a failed write puts the old bytes back. errno on failure.
bool RewriteInPlace(const std::string& target, std::string_view bytes) {
    const int fd = ::_open(target.c_str(), _O_RDWR | _O_BINARY);
    if (fd < 0) return false;
    std::string old;
    char buffer[65536];
    int n;
    while ((n = ::_read(fd, buffer, sizeof buffer)) > 0) old.append(buffer, static_cast<std::size_t>(n));
    bool written = n == 0 && ::_lseeki64(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes) &&
                   ::_chsize_s(fd, static_cast<__int64>(bytes.size())) == 0 && ::_commit(fd) == 0;
    const int error = errno;
    if (!written && n == 0) {
        ::_lseeki64(fd, 0, SEEK_SET);
        WriteAll(fd, old);
        ::_chsize_s(fd, static_cast<__int64>(old.size()));
        ::_commit(fd);
    }
    if (::_close(fd) != 0 && written) return false;
    errno = error;
    return written;
}

}  // namespace

bool ResolvedPath(const std::string& path, std::string& resolved) {
    resolved = FollowLinks(path);
    return true;
}

bool SameFile(const std::string& a, const std::string& b) {
    const auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        const bool got = GetFileInformationByHandle(file, &info) != FALSE;
        CloseHandle(file);
        return got;
    };
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return identity(a, first) && identity(b, second) && first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

bool IsStream(const std::string&) { return false; }

bool WriteToStream(const std::string&, std::string_view, int& systemError) {
    systemError = EINVAL;
    return false;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool LinkFile(const std::string& existing, const std::string& link) {
    return CreateHardLinkA(link.c_str(), existing.c_str(), nullptr) != FALSE;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

// A named mutex stands for the folder: Windows has no lock on a folder itself. Its name
// comes from the folder's full path, case folded as the file system folds it.
FolderLock::FolderLock(const std::string& path) {
    char full[MAX_PATH * 2];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    std::string folder = n > 0 && n < sizeof full ? std::string(full, n) : path;
    folder = folder.substr(0, folder.find_last_of("\\/") == std::string::npos ? 0 : folder.find_last_of("\\/"));
    CharUpperBuffA(folder.data(), static_cast<DWORD>(folder.size()));
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : folder) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char name[64];
    std::snprintf(name, sizeof name, "Local\\kelvo-folder-%016llx", static_cast<unsigned long long>(hash));
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    if (!mutex) return;
    const DWORD waited = WaitForSingleObject(mutex, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(mutex);
}

FolderLock::~FolderLock() {
    if (handle_ == -1) return;
    HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

// systemError holds the errno of a C runtime call or the Windows error of MoveFileExA,
// whichever failed.
WriteError ReplaceFile(const std::string& path, std::string_view bytes, int& systemError) {
    systemError = 0;
    const auto failErrno = [&](int error) {
        systemError = error;
        return ClassifyErrno(error);
    };
    const std::string target = FollowLinks(path);

    const DWORD attributes = GetFileAttributesA(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists) {
        // Renaming over a folder or a device would not write the file the user asked for;
        // a read-only file is the user's wish to keep it.
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return failErrno(EISDIR);
        if (attributes & FILE_ATTRIBUTE_READONLY) return failErrno(EACCES);
        if (LinkCount(target) > 1) return RewriteInPlace(target, bytes) ? WriteError::None : failErrno(errno);
    }

    RemoveLeftovers(target);
    std::string temp;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08lx.tmp",
                      static_cast<unsigned long>(GetTickCount() * 2654435761u + GetCurrentProcessId() + attempt));
        temp = target + suffix;
        fd = ::_open(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno == EACCES && exists)
            return RewriteInPlace(target, bytes) ? WriteError::None : failErrno(errno);
        if (fd < 0 && errno != EEXIST) return failErrno(errno);
    }
    if (fd < 0) return failErrno(EEXIST);

    int error = 0;
    if (!WriteAll(fd, bytes) || ::_commit(fd) != 0) error = errno;
    if (::_close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        ::_unlink(temp.c_str());
        return failErrno(error);
    }
    // Write-through: the move is on disk, not only in the cache, when the call returns.
    if (!MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD moveError = GetLastError();
        ::_unlink(temp.c_str());
        systemError = static_cast<int>(moveError);
        return ClassifyWindowsError(moveError);
    }
    return WriteError::None;
}

}  // namespace kelvo::platform
