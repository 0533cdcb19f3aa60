#include "changes/run.h"

int main(int argc, char** argv) { return run_changes(argc, argv); }
