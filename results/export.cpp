#include "results/export.h"

#include "platform/ansi_text.h"
#include "platform/file.h"
#include "tables/table_sources.h"

namespace kelvo::results {
namespace {

using platform::AnsiText;
using platform::WriteError;

std::string_view Reason(WriteError error) {
    static constexpr AnsiText kNoSpace(u8"на диске нет места");
    static constexpr AnsiText kNoPermission(u8"нет права записи в эту папку или в этот файл");
    static constexpr AnsiText kReadOnly(u8"диск доступен только для чтения");
    static constexpr AnsiText kNoDirectory(u8"папка не существует");
    static constexpr AnsiText kNotFile(u8"под этим именем не обычный файл");
    static constexpr AnsiText kOther(u8"ошибка записи");
    switch (error) {
        case WriteError::NoSpace: return kNoSpace;
        case WriteError::NoPermission: return kNoPermission;
        case WriteError::ReadOnlyFileSystem: return kReadOnly;
        case WriteError::NoDirectory: return kNoDirectory;
        case WriteError::NotARegularFile: return kNotFile;
        case WriteError::None:
        case WriteError::Other: return kOther;
    }
    return kOther;
}

}  // namespace

std::string BuildTableText(const ResultTable& table) {
    std::string text;
    // Every line feed goes out as CR LF, the one ending each row and any a cell holds, so
    // that every line of the file ends the way Windows tools expect, on every platform.
    const auto append = [&text](const std::string& cell) {
        for (const char c : cell) {
            if (c == '\n') text += '\r';
            text += c;
        }
    };
    for (std::int32_t i = 0; i < table.GetSize(); ++i) {
        const ResultRow& row = table[i];
        append(row.cells[0]);
        text += ' ';
        append(row.cells[2]);
        text += "\r\n";
    }
    return text;
}

bool WriteTableText(const std::string& path, const ResultTable& table, std::string& message) {
    return WriteWholeFile(path, BuildTableText(table), message);
}

bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string& message) {
    int systemError = 0;
    const WriteError error = platform::ReplaceFile(path, bytes, systemError);
    if (error == WriteError::None) return true;
    static constexpr AnsiText kCannotWrite(u8"Не удалось записать файл ");
    message = std::string(kCannotWrite.view()) + platform::PathText(path) + ": " + std::string(Reason(error));
    if (error == WriteError::Other && systemError != 0) message += " (" + std::to_string(systemError) + ")";
    message += '.';
    return false;
}

}  // namespace kelvo::results

namespace kelvo::results {

bool WriteTableWithSide(const std::string& tablePath, std::string_view table, const std::string* side,
                        std::string& message) {
    std::string target;
    if (!platform::ResolvedPath(tablePath, target)) return WriteWholeFile(tablePath, table, message);
    const platform::FolderLock lock(target);
    const std::string sidePath = tables::SidePath(target);
    // The old side file copied aside first (a small file; a full disk stops the run here,
    // before anything changed), so that a table that cannot be written gets it back by a
    // rename, which needs no room.
    const std::string kept = sidePath + ".old";
    std::string oldBytes;
    const bool hadSide = platform::ReadWholeFile(sidePath, oldBytes);
    if (hadSide && !WriteWholeFile(kept, oldBytes, message)) return false;
    const auto dropKept = [&] {
        if (hadSide) platform::RemoveFile(kept);
    };
    if (side) {
        if (!WriteWholeFile(sidePath, *side, message)) {
            dropKept();
            return false;
        }
    } else if (hadSide && !platform::RemoveFile(sidePath)) {
        // A side file that cannot go would give the new table's values the old sources.
        static constexpr AnsiText kCannotRemove(u8"Не удалось удалить файл ");
        message = std::string(kCannotRemove.view()) + platform::PathText(sidePath) + ".";
        dropKept();
        return false;
    }
    if (!WriteWholeFile(target, table, message)) {
        if (hadSide) platform::RenameFile(kept, sidePath);
        else platform::RemoveFile(sidePath);
        return false;
    }
    dropKept();
    return true;
}

}  // namespace kelvo::results
