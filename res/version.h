#pragma once
// The version record of kelvo.

namespace kelvo::res {

inline constexpr int kVersion[4] = {1, 0, 0, 1};
inline constexpr const char* kVersionText = "1, 0, 0, 1";
inline constexpr const char* kInternalName = "kelvo";
inline constexpr const char* kOriginalFileName = "kelvo.EXE";
inline constexpr const char* kProductName = "kelvo Application";

}  // namespace kelvo::res
