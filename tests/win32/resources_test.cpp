// The resources compiled into the program: icon 128 in every size and the version record.

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "res/resource.h"
#include "res/version.h"

namespace kelvo::test {
namespace {

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved, type, count;
};
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// Every size a launcher, the task bar or Explorer asks for, each its own image: the two
// drawn pictures at 16 and 32 px, the others made from them.
TEST(ResourcesTest, Icon128HoldsAnImageForEachSizeFrom16To256Pixels) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(res::kIconMain), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    const auto* header = reinterpret_cast<const GroupIconHeader*>(bytes);
    ASSERT_EQ(header->type, 1);
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(bytes + sizeof(GroupIconHeader));
    std::set<int> sizes;
    for (int i = 0; i < header->count; ++i) {
        EXPECT_EQ(entries[i].width, entries[i].height);
        sizes.insert(entries[i].width == 0 ? 256 : entries[i].width);  // 0 stands for 256
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 128, 256}));

    // Each size picks its own picture from the group.
    for (const int size : {48, 32, 16}) {
        const int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(bytes), TRUE, size, size, LR_DEFAULTCOLOR);
        HRSRC picture = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));  // RT_ICON
        ASSERT_NE(picture, nullptr);
        const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, picture)));
        EXPECT_EQ(info->biWidth, size);
        EXPECT_EQ(info->biHeight, 2 * size);  // colour and mask rows
    }
}

std::string VersionString(const std::vector<char>& block, const std::string& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::string path = "\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length)) return "<missing>";
    return std::string(static_cast<const char*>(value));
}

TEST(ResourcesTest, TheVersionRecordNamesTheProgramAndItsVersion) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(res::kVersion[1], res::kVersion[0]);
    const DWORD low = MAKELONG(res::kVersion[3], res::kVersion[2]);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileFlags, 0u);

    EXPECT_EQ(VersionString(block, "FileVersion"), res::kVersionText);
    EXPECT_EQ(VersionString(block, "ProductVersion"), res::kVersionText);
    EXPECT_EQ(VersionString(block, "InternalName"), res::kInternalName);
    EXPECT_EQ(VersionString(block, "OriginalFilename"), res::kOriginalFileName);
    EXPECT_EQ(VersionString(block, "ProductName"), res::kProductName);
    EXPECT_EQ(VersionString(block, "CompanyName"), "");
    EXPECT_EQ(VersionString(block, "LegalTrademarks"), "");

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);
}

}  // namespace
}  // namespace kelvo::test
