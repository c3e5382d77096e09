#include "FontSystemWarmUp.h"

#include <system_error>

#ifdef QUILLET_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontSystemWarmUp::FontSystemWarmUp() {
#ifdef QUILLET_HAVE_FONTCONFIG
    // A machine without a second core loses nothing but a thread's creation. Without a
    // thread (a process limit reached) the first font use reads the configuration itself.
    try {
        m_thread = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
    }
#endif
}

void FontSystemWarmUp::Wait() {
    if (m_thread.joinable()) m_thread.join();
}
