#pragma once
// The boundary between the program's UTF-8 and the UTF-16 of the wide Win32
// calls. The narrow ("A") calls would read the ANSI code page, in which a
// user or game folder with an umlaut is another name or none at all.
#include <string>
#include <string_view>

namespace qmb::win {

// False for text that is not valid UTF-8 or holds a NUL: no file has that name.
bool breit(std::string_view utf8, std::wstring& aus);
std::string utf8(std::wstring_view breit);

} // namespace qmb::win
