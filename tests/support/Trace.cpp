// Trace.cpp - one test of this binary run under apitrace.
#include "support/Trace.h"

#include "support/GLWindow.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace bm::test {

std::vector<std::string> tracedCalls(const std::string& test) {
    const std::string dir = makeTempDir();
    char self[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    EXPECT_GT(length, 0);
    const std::string trace = dir + "/calls.trace", dump = dir + "/calls.txt";
    // The tracer is no sanitized program; leaks in the traced child are not this check's.
    const std::string run = "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 " +
                            std::string(BRACKMOOR_APITRACE) + " trace -o " + trace + " " + self +
                            " --gtest_also_run_disabled_tests --gtest_filter=" + test + " > " +
                            dir + "/run.log 2>&1";
    EXPECT_EQ(std::system(run.c_str()), 0) << run;
    const std::string show = std::string(BRACKMOOR_APITRACE) +
                             " dump --call-nos=no --color=never " + trace + " > " + dump +
                             " 2>/dev/null";
    EXPECT_EQ(std::system(show.c_str()), 0) << show;
    std::ifstream in(dump);
    std::vector<std::string> calls;
    for (std::string line; std::getline(in, line);)
        calls.push_back(line);
    return calls;
}

}  // namespace bm::test
