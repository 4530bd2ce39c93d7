#pragma once
// File access by descriptor. Paths are built the Windows way (DataDirectory + "\BD\boys.dbf")
// and held in the platform's own form: on Windows the ANSI code page (1251), on POSIX the
// bytes the system gives (UTF-8), so that every folder a user has is reached; on POSIX '\'
// is taken as '/'. InputFile takes the native form, so that a reader opening one file again
// and again converts it once.

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo::platform {

// The native form of a path built the Windows way: on POSIX, '\' becomes '/'.
std::string NativePath(const std::string& path);

// A file opened for reading as raw bytes; closed when destroyed.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // `native` is a path in the system's own form: NativePath of a Windows-built one.
    // On failure errno says why (ENOENT, EACCES, ...). A FIFO or pipe opened without
    // `stream` reads nothing it has not been given yet (a table is no stream); with it,
    // reads wait for the writer, as a survey read from a pipe wants.
    bool Open(const std::string& native, bool stream = false);
    bool IsOpen() const { return fd_ >= 0; }
    // Bytes read (0 at end of file), or -1 on error.
    std::int64_t Read(void* buffer, std::int64_t count);
    bool Seek(std::int64_t offset);  // from the start of the file
    bool Size(std::int64_t& size);
    void Close();

private:
    int fd_ = -1;
};

// Reads the whole file at `path` (built the Windows way) into `bytes`, to its end whatever
// size the system gives (a file of /proc says 0); `stream` as InputFile::Open has it, for a
// pipe. False when it cannot be opened or read.
inline bool ReadWholeFile(const std::string& path, std::string& bytes, bool stream = false) {
    InputFile file;
    std::int64_t size = 0;
    if (!file.Open(NativePath(path), stream)) return false;
    if (!file.Size(size) || size < 0) size = 0;
    bytes.resize(static_cast<std::size_t>(size) + 1);  // one more: the end is seen in the same read
    std::int64_t done = 0;
    for (;;) {
        const std::int64_t got = file.Read(bytes.data() + done, static_cast<std::int64_t>(bytes.size()) - done);
        if (got < 0) return false;
        done += got;
        if (got == 0 || done < static_cast<std::int64_t>(bytes.size())) break;
        bytes.resize(bytes.size() * 2);
    }
    bytes.resize(static_cast<std::size_t>(done));
    return true;
}

// Bytes in memory read as InputFile reads a file: seeking past the end is allowed and
// reading there gives 0 bytes.
class MemoryFile {
public:
    explicit MemoryFile(std::string_view bytes) : bytes_(bytes) {}
    std::int64_t Read(void* buffer, std::int64_t count);
    bool Seek(std::int64_t offset);
    bool Size(std::int64_t& size) const;

private:
    std::string_view bytes_;
    std::int64_t position_ = 0;
};

// Why writing a file failed, in terms a user can act on.
enum class WriteError {
    None,
    NoSpace,          // the disk is full or a size limit was reached
    NoPermission,     // the folder or the file may not be written
    ReadOnlyFileSystem,
    NoDirectory,      // the folder does not exist
    NotARegularFile,  // the target is a folder, a device or something else
    Other,
};

// Replaces the file at `path` with `bytes` as a whole: written to a temporary file beside
// it, flushed to disk, then renamed over it. On failure the old file is left as it was and
// no temporary file remains. A new file gets ordinary permissions; a read-only one is kept.
WriteError ReplaceFile(const std::string& path, std::string_view bytes, int& systemError);

// The file `path` (built the Windows way) names once every symbolic link on the way is
// followed, in native form; the path itself when it names no link. False when links loop.
bool ResolvedPath(const std::string& path, std::string& resolved);

// True when both paths (built the Windows way) name one existing file: the same name, a
// symbolic link to it or another hard link of it.
bool SameFile(const std::string& a, const std::string& b);

// True when `path` (built the Windows way) names, through any link, a pipe, a terminal or
// another device rather than a file (POSIX /dev/stdout into a pipe); such a target is
// written in place by WriteToStream, as nothing can be renamed over it.
bool IsStream(const std::string& path);
bool WriteToStream(const std::string& path, std::string_view bytes, int& systemError);

// Renames, hard-links or removes a file (paths built the Windows way); a rename replaces the
// target. False with errno (Windows: GetLastError()) on failure.
bool RenameFile(const std::string& from, const std::string& to);
bool LinkFile(const std::string& existing, const std::string& link);
bool RemoveFile(const std::string& path);

// Holds back every other kelvo process that takes the lock of the same folder, until it
// is destroyed: writers of files that change together take turns.
class FolderLock {
public:
    // The folder of the file at `path` (native form).
    explicit FolderLock(const std::string& path);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    std::intptr_t handle_ = -1;
};

// A path as Windows-1251 text for the user, with the platform's separator. On POSIX a
// character 1251 lacks shows as '?' there; the path itself is never changed.
std::string PathText(const std::string& path);

// Windows-1251 text, such as a caption, made part of a path.
std::string PathFromText(std::string_view text);

// A path given in UTF-8 (a command line, the settings file, a file dialog) in the
// platform's form; false when the platform cannot hold it (Windows: signs outside 1251).
bool PathFromUtf8(std::string_view utf8, std::string& path);

// A path as UTF-8 text, such as a command-line tool prints, with the platform's separator.
std::string PathToUtf8(const std::string& path);

}  // namespace kelvo::platform
