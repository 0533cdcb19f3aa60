#include "menu/menu.h"

#include <cstdio>
#include <string>

#include "menu/batch.h"
#include "menu/cmdline.h"
#include "menu/handoff.h"
#include "menu/loopstate.h"
#include "menu/pos_actions.h"
#include "menu/prompt.h"
#include "menu/settings.h"
#include "menu/teach_actions.h"
#include "menu/ward_actions.h"
#include "menu/wardunits.h"
#include "model/console.h"
#include "readers/wardorgs.h"

namespace {

/// One line of a menu: its format and its option number.
struct MenuLine {
  const char* fmt;
  int opt;
};

/// The menu an option returns to (its hundred, for options 101-499 and
/// 701-789); -1 for the footer.
int return_menu(int opt) {
  int menu = opt / 100 * 100;
  bool in_menu = (menu >= 100 && menu <= 400) || (menu == 700 && opt <= 789);
  return in_menu && opt != menu ? menu : -1;
}

}  // namespace

void main_menu_hdr() {
  std::printf("Kinroll Version %s\n\n", "3.0.5");
  std::printf("LDS MIS Report Parsing Program\n");
  std::printf("Options are:\n");
}

void main_menu_ftr() {
  std::printf("\nQ. Quit\n");
  std::printf("or ENTER for main menu\n");
  std::printf("\nEnter option: ");
}

bool show_menu(int opt) {
  // Every menu but the miscellaneous one (1) has the banner.
  auto show = [opt](std::initializer_list<MenuLine> lines) {
    if (opt != 1) main_menu_hdr();
    for (const MenuLine& l : lines) std::printf(l.fmt, l.opt);
    return true;
  };
  switch (opt) {
    case 0:
      return show({{"%d Ward Positions Menu\n", 100},
                   {"%d Ward List Menu\n", 200},
                   {"%d Home Teaching Menu\n", 300},
                   {"%d Visiting Teaching Menu\n", 400},
                   {"%d Stake Reports Menu\n", 700},
                   {"%d Create CSV Files\n", 800}});
    case 1:
      return show({{"%d Find Specific Family\n", 7},
                   {"%d List Families\n", 8},
                   {"%d Save Ward List\n", 9},
                   {"%d Find Single Parents w/ Children\n", 22}});
    case 100:
      return show({{"%d Read MIS 121 (Ward Position Report)\n", 101},
                   {"%d Create Ward Positions Report\n", 110},
                   {"%d Create Web Page Info for Ward Positions\n", 120},
                   {"%d Create Single Web Page\n", 130}});
    case 200:
      return show({{"%d Read MIS 231 File\n", 201},
                   {"%d Read MIS 232 File\n", 202},
                   {"%d Read MIS 239 File\n", 209},
                   {"%d Create Full Ward List\n", 210},
                   {"%d Create Private Ward List\n", 212},
                   {"%d Create Ward Phone List\n", 220},
                   {"%d Create Phone Directory (for paper)\n", 225},
                   {"%d Create Phone Book (addr & phone)\n", 227},
                   {"%d Create Zipcode List\n", 230},
                   {"%d Find Non-Member Spouses\n", 240},
                   {"%d Create Error Report\n", 290}});
    case 300:
      return show({{"%d Read MIS 1313 (Home Teaching) Report\n", 301},
                   {"%d Create Home Teaching by Families Report\n", 310},
                   {"%d Create Home Teaching by Districts Report\n", 312},
                   {"%d Create Condensed Home Teaching List\n", 320}});
    case 400:
      return show({{"%d Read MIS 1413 (Visiting Teaching) Report\n", 401},
                   {"%d Create Visiting Teaching by Families Report\n", 410},
                   {"%d Create Visiting Teaching by Districts Report\n", 412},
                   {"%d Create Condensed Visiting Teaching List\n", 420}});
    case 700:
      return show({{"%d Read SMIS (Stake MIS) report\n", 701},
                   {"%d Write SMIS text file(s)\n", 720},
                   {"%d Write SMIS alpha list\n", 730},
                   {"%d Read & Process SMIS report\n", 790}});
    default:
      return false;
  }
}

int run_program(int argc, char** argv) {
  int opt = parse_command_line(argc, argv);
  if (opt == kAnsweredAndDone) return 0;
  make_datestr();
  read_ward_units();
  read_ward_orgs();

  LoopState state;
  std::string line;
  for (;;) {
    if (show_menu(opt)) {
      // A menu is followed by the footer.
    } else if (ward_action(opt, state) || teach_action(opt, state) || pos_action(opt, state) ||
               hand_off(opt, state)) {
      int menu = return_menu(opt);
      if (menu >= 0) {
        opt = menu;
        continue;
      }
    } else if (opt == 800) {
      run_batch();
    } else {
      std::fprintf(stderr, "Invalid option (%d)\n", opt);
    }

    main_menu_ftr();
    read_console_line(line);
    if (line[0] == 'q' || line[0] == 'Q') end_program();
    opt = line[0] == '?' ? 1 : leading_number(line);
  }
}
