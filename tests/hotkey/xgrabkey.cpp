// Test helper: another X client that holds a key combination, so the program's grab of it is refused.
// Usage: xgrabkey <keysym, hex> <X modifier mask>; prints "grabbed" once it holds the key, then waits.
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: xgrabkey <keysym-hex> <modifier-mask>\n");
        return 2;
    }
    const xcb_keysym_t keysym = xcb_keysym_t(std::strtoul(argv[1], nullptr, 16));
    const uint16_t modifiers = uint16_t(std::strtoul(argv[2], nullptr, 0));
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "xgrabkey: cannot connect to the X server\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(c);
    xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, keysym);
    if (!codes || *codes == XCB_NO_SYMBOL) {
        std::fprintf(stderr, "xgrabkey: no key for keysym %s\n", argv[1]);
        return 1;
    }
    for (xcb_keycode_t *code = codes; *code != XCB_NO_SYMBOL; ++code) {
        xcb_generic_error_t *error = xcb_request_check(
            c, xcb_grab_key_checked(c, 0, root, modifiers, *code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        if (error) {
            std::fprintf(stderr, "xgrabkey: grab refused\n");
            return 1;
        }
    }
    std::free(codes);
    xcb_key_symbols_free(symbols);
    std::printf("grabbed\n");
    std::fflush(stdout);
    // Hold the grab until killed; read and drop the key events meanwhile.
    while (xcb_generic_event_t *event = xcb_wait_for_event(c))
        std::free(event);
    return 0;
}
