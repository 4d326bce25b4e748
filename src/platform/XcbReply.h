#pragma once

#include <cstdlib>
#include <memory>

// An xcb reply, freed with free() when it goes out of scope.
struct XcbFree
{
    void operator()(void* reply) const { std::free(reply); }
};
template <class Reply> using XcbReply = std::unique_ptr<Reply, XcbFree>;
