// LwoFiles.h - models for the reader tests: real files from the shared folder, read with their
// looks, and the report's problem lines.
#pragma once

#include "support/Lwo2Builder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

// A test that reads models made by other tools is skipped when their folder is not here.
#define SKIP_WITHOUT_SHARED_MODELS()    \
    if (bm::test::sharedModels.empty()) \
    GTEST_SKIP() << "the shared folder of LWO models (shared/lwo) is not here"

namespace bm::test {

// The shared folder of models made by other tools; empty when it is not beside the project.
inline const std::string sharedModels = BRACKMOOR_SHARED_LWO_DIR;

inline ByteList fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteList(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Bytes read with the surfaces' looks, as a load that asks for colours reads them.
inline ReadResult readWithLooks(const ByteList& bytes, const std::string& name = "test.lwo") {
    Lwo2Options options;
    options.appearance = true;
    return read(bytes, name, options);
}

// A model of the shared folder, read with its looks.
inline ReadResult readShared(const std::string& file) {
    return readWithLooks(fileBytes(sharedModels + "/" + file), file);
}

// The lines of a report that name a problem: those begun "LoadLWO:".
inline std::string problemLines(const std::string& report) {
    std::istringstream in(report);
    std::string problems;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("LoadLWO:", 0) == 0)
            problems += line + "\n";
    return problems;
}

}  // namespace bm::test
