// For the performance figures: waits until a window with the given title is viewable and prints
// the moment (CLOCK_MONOTONIC seconds, the clock of Python's time.monotonic). A C loop over the
// window tree every millisecond disturbs the program under measure far less than a new xdotool
// process every few milliseconds. Usage: e2e_wait_window TITLE TIMEOUT_MS; exit 1 on timeout.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

double now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

// Breadth-first over the tree: window managers put client windows a level or two below the root.
bool viewableWithTitle(xcb_connection_t *c, xcb_window_t root, xcb_atom_t netName, xcb_atom_t utf8,
                       const std::string &title)
{
    std::vector<xcb_window_t> level{root};
    for (int depth = 0; depth < 4 && !level.empty(); ++depth) {
        std::vector<xcb_window_t> next;
        for (xcb_window_t w : level) {
            xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr);
            if (!tree)
                continue;
            const xcb_window_t *children = xcb_query_tree_children(tree);
            next.insert(next.end(), children, children + xcb_query_tree_children_length(tree));
            std::free(tree);
        }
        std::vector<xcb_get_property_cookie_t> names;
        std::vector<xcb_get_window_attributes_cookie_t> attributes;
        for (xcb_window_t w : next) {
            names.push_back(xcb_get_property(c, 0, w, netName, utf8, 0, 256));
            attributes.push_back(xcb_get_window_attributes(c, w));
        }
        bool found = false;
        for (size_t i = 0; i < next.size(); ++i) {
            xcb_get_property_reply_t *name = xcb_get_property_reply(c, names[i], nullptr);
            xcb_get_window_attributes_reply_t *attr = xcb_get_window_attributes_reply(c, attributes[i], nullptr);
            if (name && attr && attr->map_state == XCB_MAP_STATE_VIEWABLE
                && std::string(static_cast<const char *>(xcb_get_property_value(name)),
                               size_t(xcb_get_property_value_length(name))) == title)
                found = true;
            std::free(name);
            std::free(attr);
        }
        if (found)
            return true;
        level.swap(next);
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TITLE TIMEOUT_MS\n", argv[0]);
        return 2;
    }
    const std::string title = argv[1];
    const double deadline = now() + std::atof(argv[2]) / 1000.0;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 2;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t netName = atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    std::printf("ready\n");
    std::fflush(stdout);
    while (now() < deadline) {
        if (viewableWithTitle(c, root, netName, utf8, title)) {
            std::printf("%.6f\n", now());
            std::fflush(stdout);
            xcb_disconnect(c);
            return 0;
        }
        const timespec pause{0, 1000000};
        nanosleep(&pause, nullptr);
    }
    xcb_disconnect(c);
    return 1;
}
