#pragma once
// The batch production (option 800, or -c): every report read from the
// current directory under its fixed name, merged into a ward list of the
// batch's own, and every derived file written in one run, without a prompt.

/// Reads mis231.txt, mis232.txt and mis239.txt (the last two only after the
/// directory opened), mis1313.txt, mis1413.txt and mis121.txt, merging each
/// into the ward list when there is one, and writes the positions, ward,
/// home-teaching and visiting-teaching outputs (each group only when its
/// list is not empty) and wardhtvt.csv. A report that cannot be opened is
/// reported and the batch goes on with what it has; an output that cannot
/// be opened is reported and skipped. Handheld documents are handed to the
/// converter when one is set. Returns false when any output file could not
/// be opened or written whole.
bool create_ward_csv();

/// Runs the batch and ends the program: "Program terminating\n", exit
/// status 1 when an output failed, else 0.
[[noreturn]] void run_batch();
