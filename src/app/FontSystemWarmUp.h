#pragma once

#include <thread>

// Sets up the system's font configuration on a second core while the program starts.
// Reading the configuration files takes several milliseconds, and the first window cannot
// draw a letter before it is done; started at the top of main it overlaps the creation of
// the application and the main window. Joined when it goes out of scope.
class FontSystemWarmUp {
public:
    FontSystemWarmUp();
    ~FontSystemWarmUp();
    FontSystemWarmUp(const FontSystemWarmUp&) = delete;
    FontSystemWarmUp& operator=(const FontSystemWarmUp&) = delete;

private:
    std::thread m_thread;
};
