#pragma once

#include <string>

// The Ultima Online folder as the saved settings file names it (section "UO", key
// "Ultima Online"), read from the file on disk rather than the store in memory, so that
// the pickers see what was last saved. A file or key that is missing gives the default
// folder of the original Windows installation, which names no folder here.
std::string ClientFolderFromSettingsFile();
