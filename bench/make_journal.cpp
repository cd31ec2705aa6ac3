// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a journal as a long recording at line rate leaves it, for opening, recovering and timing
// by hand or by a bench: make_journal PATH READINGS [even|flooded]. A month at line rate is
// 73000000 readings (some 700 MB), a day 2400000.
#include "bench/journal_maker.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const std::string shape = argc == 4 ? argv[3] : "even";
    if ((argc != 3 && argc != 4) || (shape != "even" && shape != "flooded")) {
        std::fprintf(stderr, "usage: make_journal PATH READINGS [even|flooded]\n");
        return 2;
    }
    const std::string error =
        bench::makeJournal(argv[1], std::atoll(argv[2]),
                           shape == "even" ? bench::LineShape::Even : bench::LineShape::Flooded);
    if (!error.empty()) {
        std::fprintf(stderr, "make_journal: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
