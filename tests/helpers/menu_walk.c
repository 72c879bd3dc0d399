/* Walks a DVD-Video disc as a player does, with libdvdnav (the library media players play DVD
 * menus with), and checks each step it is given, printing what it saw:
 *   menu:N:B        a page of the disc's menu shows with N buttons, button B highlighted (the
 *                   title a button then plays tells the page)
 *   press:B         button B is chosen and activated
 *   title:T         title T plays; then it is read to its end
 *   titles:A,B,...  these titles play one after another, each to its end
 *   chapter:C       a title plays from its chapter C; then it is read to its end
 *   key:menu, key:title   the remote's Menu (root) or Title key, while a title plays
 * Usage: menu_walk DISC STEP...   (DISC: the folder that holds VIDEO_TS, or an image) */
#include <dvdnav/dvdnav.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static dvdnav_t *nav;
static uint8_t block[DVD_VIDEO_LB_LEN];
static int playing; /* the title being read, 0 in a menu */

static void fail(const char *what)
{
    fprintf(stderr, "menu_walk: %s\n", what);
    exit(1);
}

/* The next block: timed stills and waits are skipped as a player lets them pass; the title
 * playing is kept. Returns the event. */
static int next_event(void)
{
    int event, len;
    if (dvdnav_get_next_block(nav, block, &event, &len) != DVDNAV_STATUS_OK) fail(dvdnav_err_to_string(nav));
    if (event == DVDNAV_STILL_FRAME && ((dvdnav_still_event_t *)block)->length != 0xff) dvdnav_still_skip(nav);
    if (event == DVDNAV_WAIT) dvdnav_wait_skip(nav);
    if (event == DVDNAV_CELL_CHANGE || event == DVDNAV_NAV_PACKET) {
        int32_t title = 0, part = 0;
        dvdnav_current_title_info(nav, &title, &part);
        playing = dvdnav_is_domain_vts(nav) ? title : 0;
    }
    return event;
}

/* Reads until the manager's menu waits on its still for a button. */
static void until_menu(void)
{
    for (long n = 0; n < 4000000; ++n) {
        const int event = next_event();
        if (event == DVDNAV_STILL_FRAME && dvdnav_is_domain_vmgm(nav)) return;
        if (event == DVDNAV_STOP) fail("the disc stopped");
    }
    fail("no menu came");
}

/* Reads until a title plays, then, where `to_end`, until it has ended: its number. */
static int until_title(int to_end)
{
    long n = 0;
    while (!playing && n++ < 4000000)
        if (next_event() == DVDNAV_STOP) fail("the disc stopped");
    const int title = playing;
    if (!title) fail("no title came");
    while (to_end && playing == title && n++ < 4000000) {
        const int event = next_event();
        if ((event == DVDNAV_STILL_FRAME && dvdnav_is_domain_vmgm(nav)) || event == DVDNAV_STOP) break;  // its page, or the end of a disc without a menu
    }
    return title;
}

static void check_menu(int buttons, int highlighted)
{
    until_menu();
    int32_t button = 0;
    pci_t *pci = dvdnav_get_current_nav_pci(nav);
    dvdnav_get_current_highlight(nav, &button);
    const btni_t *b = &pci->hli.btnit[button > 0 ? button - 1 : 0];
    printf("menu: %d buttons, button %d highlighted (%u,%u to %u,%u)\n", pci->hli.hl_gi.btn_ns, button, b->x_start, b->y_start, b->x_end, b->y_end);
    if (pci->hli.hl_gi.btn_ns != buttons || button != highlighted) fail("not the menu expected");
}

int main(int argc, char **argv)
{
    if (argc < 3) fail("usage: menu_walk DISC STEP...");
    if (dvdnav_open(&nav, argv[1]) != DVDNAV_STATUS_OK) fail("the disc does not open");
    dvdnav_set_readahead_flag(nav, 0);
    for (int i = 2; i < argc; ++i) {
        const char *step = argv[i];
        int a = 0, b = 0;
        if (sscanf(step, "menu:%d:%d", &a, &b) == 2) {
            check_menu(a, b);
        } else if (sscanf(step, "press:%d", &a) == 1) {
            printf("press button %d\n", a);
            if (dvdnav_button_select_and_activate(nav, dvdnav_get_current_nav_pci(nav), a) != DVDNAV_STATUS_OK) fail("the button is not there");
            next_event();
        } else if (sscanf(step, "title:%d", &a) == 1) {
            const int played = until_title(1);
            printf("title %d played to its end\n", played);
            if (played != a) fail("not the title expected");
        } else if (strncmp(step, "titles:", 7) == 0) {
            for (const char *t = step + 7; *t; t += strcspn(t, ","), t += *t == ',') {
                const int played = until_title(1);
                printf("title %d played to its end\n", played);
                if (played != atoi(t)) fail("not the title expected");
            }
        } else if (sscanf(step, "chapter:%d", &a) == 1) {
            int32_t title = until_title(0), part = 0;
            dvdnav_current_title_info(nav, &title, &part);
            printf("title %d plays from chapter %d\n", title, part);
            if (part != a) fail("not the chapter expected");
            until_title(1);
        } else if (strcmp(step, "key:menu") == 0 || strcmp(step, "key:title") == 0) {
            printf("title %d plays; the %s key\n", until_title(0), step + 4);
            if (dvdnav_menu_call(nav, step[4] == 'm' ? DVD_MENU_Root : DVD_MENU_Title) != DVDNAV_STATUS_OK) fail("the key did nothing");
            playing = 0;
        } else {
            fail("a step it does not know");
        }
    }
    dvdnav_close(nav);
    return 0;
}
