#pragma once
// The version record of kelvo. KELVO_VERSION_NUMBERS ("1,0,0,1") is the CMake project's
// version, handed to the compiler by res/CMakeLists.txt.

namespace kelvo::res {

#define KELVO_VERSION_TEXT_OF_(a, b, c, d) #a ", " #b ", " #c ", " #d
#define KELVO_VERSION_TEXT_OF(numbers) KELVO_VERSION_TEXT_OF_(numbers)

inline constexpr int kVersion[4] = {KELVO_VERSION_NUMBERS};
inline constexpr const char* kVersionText = KELVO_VERSION_TEXT_OF(KELVO_VERSION_NUMBERS);
inline constexpr const char* kInternalName = "kelvo";
inline constexpr const char* kOriginalFileName = "kelvo.EXE";
inline constexpr const char* kProductName = "kelvo Application";

}  // namespace kelvo::res
