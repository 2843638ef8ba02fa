// Writes the sample UI text file of the release, smen.ini with today's
// built-in texts, to the path given: make_smen_sample OUT.
#include <cstdio>
#include <vector>

#include "display/ui_text_sample.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_smen_sample OUT\n");
        return 2;
    }
    std::vector<unsigned char> bytes = SM_UITextSampleBytes();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    size_t written = std::fwrite(bytes.data(), 1, bytes.size(), out);
    bool closed = std::fclose(out) == 0;
    if (written != bytes.size() || !closed) {
        std::fprintf(stderr, "%s: write failed\n", argv[1]);
        return 1;
    }
    return 0;
}
