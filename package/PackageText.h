#pragma once

#include <string>
#include <string_view>

namespace mw {

// The texts of a map package (sector names, piece names, the title in MapInfo.txt) are written in
// Windows-1252, the code page of the platform the packages come from. Every text shown to a user
// passes through here, so that a name reads the same in the title, the unit list and the menu.
// Returns UTF-8. The five bytes that code page leaves undefined keep their own code points.
std::string DecodePackageText(std::string_view windows1252);

}  // namespace mw
