#include "mdbdescription.h"
#include "mdbwriter.h"

#include <csignal>
#include <fstream>
#include <iostream>

// mdbfixture DESCRIPTION OUTPUT: writes the database described in the text
// file DESCRIPTION (format in README.md) to OUTPUT, replacing it.
int main(int argc, char **argv) {
    // Past a file-size limit a write then fails with EFBIG, which the write's
    // own check reports, instead of the signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc != 3) {
        std::cerr << "usage: mdbfixture DESCRIPTION.txt OUTPUT.mdb\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "mdbfixture: cannot read " << argv[1] << "\n";
        return 1;
    }
    try {
        sheetcraft::writeMdbFile(argv[2], sheetcraft::parseMdbDescription(in));
    } catch (const sheetcraft::MdbWriteError &e) {
        std::cerr << "mdbfixture: " << argv[1] << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}
