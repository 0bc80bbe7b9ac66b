// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mw {

// The texts of a map package (sector names, piece names, the title in MapInfo.txt) are written in
// Windows-1252, the code page of the platform the packages come from. Every text shown to a user
// passes through here, so that a name reads the same in the title, the unit list and the menu.
// Returns UTF-8. The five bytes that code page leaves undefined keep their own code points.
std::string DecodePackageText(std::string_view windows1252);

// Whether a text is valid UTF-8 with at least one character beyond ASCII: most likely saved by an
// editor in UTF-8, where a package wants Windows-1252 (it would show as "Ã–lfeld").
bool LooksLikeUtf8(std::string_view text);

// A UTF-8 text in Windows-1252; none when it is no valid UTF-8 or holds a character that code page
// lacks, and then `bad` (where given) is that character's byte offset.
std::optional<std::string> EncodePackageText(std::string_view utf8, size_t* bad = nullptr);

}  // namespace mw
