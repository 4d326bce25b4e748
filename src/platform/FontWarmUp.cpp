#include "FontWarmUp.h"

#if defined(DESKWORD_HAVE_FONTCONFIG)
#include <fontconfig/fontconfig.h>
#endif

FontWarmUp::FontWarmUp()
{
#if defined(DESKWORD_HAVE_FONTCONFIG)
    // Loading the configuration is safe from any thread; the toolkit later finds it
    // loaded instead of loading it itself.
    m_thread = std::thread([] { FcInit(); });
#endif
}

FontWarmUp::~FontWarmUp()
{
    wait();
}

void FontWarmUp::wait()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
}
