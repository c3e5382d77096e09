#include "FontSystemWarmUp.h"

#ifdef QUILLET_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontSystemWarmUp::FontSystemWarmUp() {
#ifdef QUILLET_HAVE_FONTCONFIG
    // The font library's set-up is safe to race with: a second caller waits for or
    // discards a duplicate configuration. A machine without a second core loses nothing
    // but a thread's creation.
    m_thread = std::thread([] { FcInit(); });
#endif
}

FontSystemWarmUp::~FontSystemWarmUp() {
    if (m_thread.joinable()) m_thread.join();
}
