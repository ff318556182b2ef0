// Writes a generated database file: make_table COUNT FILE [SEED]

#include <cstdio>
#include <cstdlib>
#include <string>

#include "TableGenerator.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_table COUNT FILE [SEED]\n");
        return 2;
    }
    const long count = std::strtol(argv[1], nullptr, 10);
    const unsigned long long seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1;
    std::FILE* out = std::fopen(argv[2], "wb");
    if (count < 0 || !out) {
        std::fprintf(stderr, "make_table: cannot write %s\n", argv[2]);
        return 1;
    }
    tabulon::bench::CTableGenerator generator(seed);
    for (long i = 0; i < count; ++i) {
        const std::string line = tabulon::bench::JoinFields(generator.NextItem()) + "\r\n";
        std::fwrite(line.data(), 1, line.size(), out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
