#pragma once
// The program's entry: command line, start-up loads and the menu loop.

/// Runs the program with its command line; returns the exit status.
int run_program(int argc, char** argv);
