#include "menu/menu.h"

int run_program(int, char**) { return 0; }
