// BrackmoorCompatibility.cpp - the host byte-order check.
#include "BrackmoorCompatibility.h"

#include <cstdio>

endunionType endunion;

void endianess() {
    endunion.val = 15;
    if (endunion.bytes[0] == 15)
        std::printf("Little endianess\n");
    else
        std::printf("Big endianess\n");
    std::fflush(stdout);
}
