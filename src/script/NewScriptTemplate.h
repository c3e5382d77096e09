#pragma once

#include <string>
#include <string_view>

// The comment header of a new script with the user's details filled in, as bytes with
// CR LF line ends. An empty author keeps the author and web address placeholders; an empty
// company takes the author's name (and vanishes when both are empty).
std::string NewScriptHeader(const std::string& author, const std::string& company,
                            const std::string& webAddress, int year);

// What follows the header in a new script.
inline constexpr std::string_view kNewScriptTrailer = "\r\nVERSION=0.54\r\n\r\n\r\n\r\n\r\n[EOF]";
