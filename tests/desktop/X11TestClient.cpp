// A plain X11 client for the window system's end-to-end test: it opens top-level windows of exact
// client sizes (terminals would round them to character cells), prints their ids and then
// lives until it is killed.
//
// Usage: x11_test_client x,y,w,h[,dialog|utility|skiptaskbar|hidden|fullscreen|dock]...
// A dock reserves its own height along the top or bottom screen edge it touches.

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

void setAtoms(xcb_connection_t *c, xcb_window_t w, const char *property, const std::vector<xcb_atom_t> &values)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, property), XCB_ATOM_ATOM, 32, uint32_t(values.size()),
                        values.data());
}

} // namespace

int main(int argc, char **argv)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "avoider_test_client: no display\n");
        return 1;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t pid = uint32_t(getpid());

    for (int i = 1; i < argc; ++i) {
        std::vector<std::string> fields;
        std::string windowArg = argv[i];
        for (size_t start = 0;;) {
            const size_t comma = windowArg.find(',', start);
            fields.push_back(windowArg.substr(start, comma - start));
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
        if (fields.size() < 4) {
            std::fprintf(stderr, "avoider_test_client: bad window %s\n", argv[i]);
            return 2;
        }
        const int x = std::atoi(fields[0].c_str());
        const int y = std::atoi(fields[1].c_str());
        const int w = std::atoi(fields[2].c_str());
        const int h = std::atoi(fields[3].c_str());

        const xcb_window_t window = xcb_generate_id(c);
        const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, int16_t(x), int16_t(y), uint16_t(w),
                          uint16_t(h), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

        const std::string title = "avoider test " + std::to_string(i);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            uint32_t(title.size()), title.data());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);

        // WM_NORMAL_HINTS: user-given position and size, so the manager places it as asked.
        uint32_t sizeHints[18] = {};
        sizeHints[0] = 1 | 2; // USPosition | USSize
        sizeHints[1] = uint32_t(x);
        sizeHints[2] = uint32_t(y);
        sizeHints[3] = uint32_t(w);
        sizeHints[4] = uint32_t(h);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18,
                            sizeHints);

        std::vector<xcb_atom_t> states;
        for (size_t f = 4; f < fields.size(); ++f) {
            const std::string &flag = fields[f];
            if (flag == "dialog") {
                setAtoms(c, window, "_NET_WM_WINDOW_TYPE", {atom(c, "_NET_WM_WINDOW_TYPE_DIALOG")});
            } else if (flag == "utility") {
                setAtoms(c, window, "_NET_WM_WINDOW_TYPE", {atom(c, "_NET_WM_WINDOW_TYPE_UTILITY")});
            } else if (flag == "skiptaskbar") {
                states.push_back(atom(c, "_NET_WM_STATE_SKIP_TASKBAR"));
                states.push_back(atom(c, "_NET_WM_STATE_SKIP_PAGER"));
            } else if (flag == "fullscreen") {
                states.push_back(atom(c, "_NET_WM_STATE_FULLSCREEN"));
            } else if (flag == "dock") {
                setAtoms(c, window, "_NET_WM_WINDOW_TYPE", {atom(c, "_NET_WM_WINDOW_TYPE_DOCK")});
                // left, right, top, bottom, then the start and end of each strip.
                uint32_t strut[12] = {};
                const bool top = y == 0;
                strut[top ? 2 : 3] = uint32_t(h);
                strut[top ? 8 : 10] = uint32_t(x);
                strut[top ? 9 : 11] = uint32_t(x + w - 1);
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(c, "_NET_WM_STRUT_PARTIAL"),
                                    XCB_ATOM_CARDINAL, 32, 12, strut);
            } else if (flag == "hidden") {
                // WM_HINTS with StateHint and IconicState: mapped minimised.
                const uint32_t hints[9] = {2, 0, 3, 0, 0, 0, 0, 0, 0};
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9,
                                    hints);
            } else {
                std::fprintf(stderr, "avoider_test_client: unknown flag %s\n", flag.c_str());
                return 2;
            }
        }
        if (!states.empty())
            setAtoms(c, window, "_NET_WM_STATE", states);

        xcb_map_window(c, window);
        std::printf("%u\n", window);
    }
    xcb_flush(c);
    std::printf("ready\n");
    std::fflush(stdout);

    while (xcb_generic_event_t *event = xcb_wait_for_event(c))
        std::free(event);
    xcb_disconnect(c);
    return 0;
}
