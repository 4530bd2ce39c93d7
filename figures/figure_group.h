#pragma once
// The population groups and the age groups, in the order of their lists.

namespace kelvo::figures {

enum class FigureGroup { Nursery = 0, Girls = 1, Boys = 2, Women = 3, Men = 4 };
inline constexpr int kGroupCount = 5;

enum class AgeGroup { Preschool = 0, JuniorSchool = 1, SeniorSchool = 2, Adolescent = 3 };
inline constexpr int kAgeGroupCount = 4;

}  // namespace kelvo::figures
