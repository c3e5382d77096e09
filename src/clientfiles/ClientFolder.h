#pragma once

#include <string>

// The path of the file `name` in `folder`, whatever the case of the letters of either name
// (clients installed on Linux often hold "artidx.mul" where the program asks for
// "ARTIDX.MUL"); empty when the folder holds no such file. An exact match wins.
std::string FindClientFile(const std::string& folder, const std::string& name);
