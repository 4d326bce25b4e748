#pragma once

#include "XcbReply.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <array>
#include <cstddef>
#include <cstring>
#include <xcb/xcb.h>

// Qt's own X connection and the atoms the X11 parts of the platform folder use.
namespace Xcb {

// Qt's X connection, or nullptr on another platform.
inline xcb_connection_t* connection()
{
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

// Interns the atoms of the names: every request is sent before the first reply is
// read, so the names cost one round trip together.
template <std::size_t N>
std::array<xcb_atom_t, N> atoms(xcb_connection_t* c, const std::array<const char*, N>& names)
{
    std::array<xcb_intern_atom_cookie_t, N> cookies{};
    for (std::size_t i = 0; i < N; ++i) {
        cookies[i] = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
    }
    std::array<xcb_atom_t, N> result{};
    for (std::size_t i = 0; i < N; ++i) {
        const XcbReply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(c, cookies[i], nullptr));
        result[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    return result;
}

} // namespace Xcb
