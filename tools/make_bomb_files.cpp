// make_bomb_files.cpp - writes files that ask the loaders for too much, to measure them by:
// bomb.png (16,000 x 16,000 zero pixels, about 1 MB), bomb.lwo (a square that lays it on),
// star.lwo (ten stars of 1,023 corners, 143 KB), stars.lwo (sixty-three of them, 0.9 MB) and
// dense-star.lwo (ten stars whose every edge crosses hundreds of others).
#include "BombFiles.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_bomb_files FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    const auto stars = [](std::uint32_t count, std::uint32_t step) {
        return bm::lwo::write(bm::lwo::starModel(count, 1023, step));
    };
    // 16 and 512 have no factor in common with 1,023 = 3 x 11 x 31.
    const bool written =
        bm::lwo::writeFile(folder + "/bomb.png", bm::lwo::zeroPng(16000, 16000)) &&
        bm::lwo::writeFile(folder + "/bomb.lwo", bm::lwo::modelNamingImage("bomb.png")) &&
        bm::lwo::writeFile(folder + "/star.lwo", stars(10, 16)) &&
        bm::lwo::writeFile(folder + "/stars.lwo", stars(63, 16)) &&
        bm::lwo::writeFile(folder + "/dense-star.lwo", stars(10, 512));
    if (!written) {
        std::cerr << "make_bomb_files: could not write into " << folder << "\n";
        return 1;
    }
    return 0;
}
