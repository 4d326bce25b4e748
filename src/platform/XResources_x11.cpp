#include "XResources.h"

#include "XcbReply.h"

#include <xcb/xcb.h>

QByteArray XResources::read()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    QByteArray resources;
    if (connection != nullptr && xcb_connection_has_error(connection) == 0) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        if (screen != nullptr) {
            const xcb_get_property_cookie_t cookie =
                xcb_get_property(connection, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER,
                                 XCB_ATOM_STRING, 0, 1u << 20);
            const XcbReply<xcb_get_property_reply_t> reply(
                xcb_get_property_reply(connection, cookie, nullptr));
            if (reply) {
                resources =
                    QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                               xcb_get_property_value_length(reply.get()));
            }
        }
    }
    if (connection != nullptr) {
        xcb_disconnect(connection);
    }
    return resources;
}
