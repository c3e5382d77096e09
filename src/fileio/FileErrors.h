#pragma once

#include <string>
#include <sys/types.h>

// Short English reasons for failed reads and writes, for messages such as
// "Could not save 'PATH'.\n\nREASON".
constexpr const char* kNotRegularFileText = "Not a regular file";

// The system's text for an errno value, such as "Permission denied".
std::string ErrnoText(int error);

// Why a file of this type is neither read nor replaced; empty for a regular file.
std::string FileTypeError(mode_t mode);
