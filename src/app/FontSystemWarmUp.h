#pragma once

#include <thread>

// Sets up the system's font configuration on a second core while the program starts.
// Reading the configuration files takes several milliseconds, and the first window cannot
// draw a letter before it is done; started at the top of main it overlaps the creation of
// the application object.
class FontSystemWarmUp {
public:
    FontSystemWarmUp();
    ~FontSystemWarmUp() { Wait(); }
    // Before the first use of a font: a second set-up started meanwhile would not wait for
    // this one but read every file again.
    void Wait();
    FontSystemWarmUp(const FontSystemWarmUp&) = delete;
    FontSystemWarmUp& operator=(const FontSystemWarmUp&) = delete;

private:
    std::thread m_thread;
};
