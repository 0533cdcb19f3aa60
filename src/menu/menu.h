#pragma once
// The program's entry: command line, start-up loads and the menu loop.

/// Prints the banner that heads every menu but the miscellaneous one.
void main_menu_hdr();

/// Prints the footer that asks for the next option.
void main_menu_ftr();

/// Prints menu `opt` (0, 1, 100, 200, 300, 400 or 700). Returns false when
/// `opt` is not a menu.
bool show_menu(int opt);

/// Runs the program with its command line; returns the exit status.
int run_program(int argc, char** argv);
