#include "NewScriptTemplate.h"

namespace {

// 0xA9 is the copyright sign of Windows-1252.
constexpr std::string_view kHeader =
    "//**************************************************************\r\n"
    "// <name_of_script> by <name_of_author> \xA9<date>\r\n"
    "// <url_of_author>\r\n"
    "// This script file is copyright by <name_of_company>\r\n"
    "// This file may be freely edited for personal use, but may not\r\n"
    "// be distributed in whole or in part, in any format without\r\n"
    "// express written permission from <name_of_company>.\r\n"
    "//**************************************************************\r\n";

void ReplaceAll(std::string& text, std::string_view placeholder, const std::string& value) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
}

} // namespace

std::string NewScriptHeader(const std::string& author, const std::string& company,
                            const std::string& webAddress, int year) {
    std::string header(kHeader);
    if (!author.empty()) ReplaceAll(header, "<name_of_author>", author);
    ReplaceAll(header, "<name_of_company>", company.empty() ? author : company);
    // The address goes in only with an author: the test is on the name, not the address.
    if (!author.empty()) ReplaceAll(header, "<url_of_author>", webAddress);
    ReplaceAll(header, "<date>", std::to_string(year));
    return header;
}
