#pragma once

#include <thread>

// Loads the system's font configuration on a second thread while the toolkit starts.
// Reading it takes about as long as everything else before the first text can be
// drawn, and nothing needs it until then. `wait` returns once it is loaded; call it
// before the toolkit uses fonts. Does nothing where fonts are not configured this way.
class FontWarmUp
{
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    void wait();

private:
    std::thread m_thread;
};
