// Test hooks for Deskword's end-to-end tests on GNOME Shell 43; never install it on
// a desktop of your own. Enabled, it
// - puts the shell into unsafe mode, so that org.gnome.Shell.Eval and the Screenshot
//   interface answer the test;
// - leaves the overview that a session starts in, as a user would;
// - offers the test a pointer of its own inside the shell (a Clutter virtual device),
//   whose clicks reach native Wayland clients and XWayland alike, and what the test
//   needs to know of the top bar's indicators and menus.
// The test calls the methods of the object init() returns through Eval:
//   imports.ui.main.extensionManager.lookup(UUID).stateObj.METHOD(...)
/* exported init */
const {Clutter, GLib} = imports.gi;
const Main = imports.ui.main;

class TestHooks {
    enable() {
        global.context.unsafe_mode = true;
        this._pointer = null;
        if (Main.layoutManager._startingUp) {
            this._startupId = Main.layoutManager.connect('startup-complete',
                () => Main.overview.hide());
        } else {
            Main.overview.hide();
        }
    }

    disable() {
        if (this._startupId)
            Main.layoutManager.disconnect(this._startupId);
        this._startupId = 0;
        this._pointer = null;
        global.context.unsafe_mode = false;
    }

    // The session is up: no start-up animation, no overview.
    ready() {
        return !Main.layoutManager._startingUp && !Main.overview.visible &&
            !Main.overview.animationInProgress;
    }

    _device() {
        if (!this._pointer) {
            const seat = Clutter.get_default_backend().get_default_seat();
            this._pointer = seat.create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
        }
        return this._pointer;
    }

    move(x, y) {
        this._device().notify_absolute_motion(GLib.get_monotonic_time(), x, y);
        return 'moved';
    }

    // button: 1 left, 3 right.
    press(button) {
        this._device().notify_button(GLib.get_monotonic_time(), button,
            Clutter.ButtonState.PRESSED);
        return 'pressed';
    }

    release(button) {
        this._device().notify_button(GLib.get_monotonic_time(), button,
            Clutter.ButtonState.RELEASED);
        return 'released';
    }

    // The AppIndicator extension's icons in the top bar, one a line:
    // "kind x y width height visible menu-open", kind "item" (StatusNotifierItem) or
    // "xembed".
    indicators() {
        const lines = [];
        for (const [key, button] of Object.entries(Main.panel.statusArea)) {
            if (!key.startsWith('appindicator-') || !button)
                continue;
            const kind = button.constructor.name.includes('Tray') ? 'xembed' : 'item';
            const [x, y] = button.get_transformed_position();
            const [w, h] = button.get_transformed_size();
            lines.push([kind, Math.round(x), Math.round(y), Math.round(w), Math.round(h),
                button.is_mapped() ? 1 : 0, button.menu?.isOpen ? 1 : 0].join(' '));
        }
        return lines.join('\n');
    }

    // Labels of the open indicator menu's items, one a line.
    indicatorMenu() {
        for (const [key, button] of Object.entries(Main.panel.statusArea)) {
            if (key.startsWith('appindicator-') && button?.menu?.isOpen) {
                return button.menu._getMenuItems()
                    .map(item => item.label?.text ?? '-').join('\n');
            }
        }
        return '';
    }

    closeMenus() {
        Main.panel.menuManager.activeMenu?.close();
        return 'closed';
    }

    // Whether the desktop's own menu (a right click on the background) is open.
    backgroundMenuOpen() {
        return Main.layoutManager._bgManagers.some(
            manager => manager.backgroundActor?._backgroundMenu?.isOpen) ? 'open' : 'closed';
    }

    // The window whose surface the shell's picking finds at a screen point, as it
    // routes a click there: "title (client)", or the actor's type where no window is.
    pickAt(x, y) {
        let actor = global.stage.get_actor_at_pos(Clutter.PickMode.REACTIVE, x, y);
        const hit = actor;
        while (actor && !actor.meta_window)
            actor = actor.get_parent();
        if (!actor)
            return hit ? hit.constructor.name : 'none';
        const window = actor.meta_window;
        return `${window.get_title()} (${window.get_client_type() === 0 ? 'wayland' : 'x11'})`;
    }

    // pickAt for each point (x1, y1, x2, y2, ...), one a line: both in one call, so
    // that they see the same moment.
    pickEach(...coordinates) {
        const lines = [];
        for (let i = 0; i + 1 < coordinates.length; i += 2)
            lines.push(this.pickAt(coordinates[i], coordinates[i + 1]));
        return lines.join('\n');
    }

    // Normal windows, one a line: "x y width height client title" (client "wayland"
    // or "x11").
    windows() {
        return global.get_window_actors().map(actor => {
            const window = actor.meta_window;
            const rect = window.get_frame_rect();
            const client = window.get_client_type() === 0 ? 'wayland' : 'x11';
            return [rect.x, rect.y, rect.width, rect.height, client, window.get_title()].join(' ');
        }).join('\n');
    }
}

function init() {
    return new TestHooks();
}
