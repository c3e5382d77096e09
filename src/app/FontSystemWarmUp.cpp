#include "FontSystemWarmUp.h"

#ifdef QUILLET_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontSystemWarmUp::FontSystemWarmUp() {
#ifdef QUILLET_HAVE_FONTCONFIG
    // A machine without a second core loses nothing but a thread's creation.
    m_thread = std::thread([] { FcInit(); });
#endif
}

void FontSystemWarmUp::Wait() {
    if (m_thread.joinable()) m_thread.join();
}
