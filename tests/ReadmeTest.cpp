// ReadmeTest.cpp - what the README and the viewer's --help give a newcomer works in a fresh clone.
#include "support/GLWindow.h"
#include "support/PngFile.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using bm::test::readText;

const std::string source = BRACKMOOR_SOURCE_DIR;

// The documents a newcomer reads, each with the folder its paths start from.
const std::pair<const char*, const char*> documents[] = {{"README.md", ""},
                                                         {"samples/README.md", "samples"}};

// Each match of pattern in text, which must outlive them.
std::vector<std::smatch> matches(const std::string& text, const std::regex& pattern) {
    return {std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()};
}

// Why a path named in a document read from folder is not in a fresh clone; empty when it is, or
// when it names no file of the repository (a build's, an installed one, another project's). One
// that climbs out of a folder is read from the top folder: nothing beside it is in a clone.
std::string missing(const std::string& folder, std::string path) {
    const bool climbs = path.rfind("../", 0) == 0;
    if (climbs) {
        path = path.substr(3);
        if (path.rfind("../", 0) == 0)
            return "outside the repository";
    }
    const std::string first = path.substr(0, path.find('/'));
    if (first == "build" || first.rfind("build-", 0) == 0)
        return "";
    const bool inFolder = !climbs && fs::exists(fs::path(source) / folder / first);
    if (!climbs && !inFolder && !fs::exists(fs::path(source) / first))
        return "";
    return fs::exists(fs::path(source) / (inFolder ? folder : "") / path) ? ""
                                                                          : "not in the repository";
}

}  // namespace

// Catches a document or --help naming a file a fresh clone lacks, or one beside the repository.
TEST(Readme, EveryPathItNamesIsInTheRepository) {
    std::vector<std::array<std::string, 3>> texts;  // name, folder, text
    for (const auto& [file, folder] : documents)
        texts.push_back({file, folder, readText(source + "/" + file)});
    texts.push_back({"--help", "", bm::test::runProgram(BRACKMOOR_VIEW, source, "--help").out});
    const std::regex path(R"((\.\./)*[A-Za-z0-9_.-]+(/[A-Za-z0-9_.-]+)+)");
    for (const auto& [name, folder, text] : texts) {
        ASSERT_FALSE(text.empty()) << name;
        for (const std::smatch& m : matches(text, path)) {
            std::string named = m.str();
            while (named.back() == '.')  // a sentence's full stop
                named.pop_back();
            EXPECT_EQ(missing(folder, named), "") << name << ": " << named;
        }
    }
}

// The check itself: catches a judge that would let a missing or misspelt path through.
TEST(Readme, PathsAreJudgedByTheRepositorysLayout) {
    const std::array<const char*, 3> cases[] = {
        {"", "samples/Objects/hierarchy.lwo.bak", "not in the repository"},
        {"", "../shared/lwo/hierarchy.lwo", "not in the repository"},
        {"", "../../shared/lwo/hierarchy.lwo", "outside the repository"},
        {"samples", "Objects/teddy.lwo", "not in the repository"},
        {"samples", "samples/Objects/Teddy.lwo", ""},
        {"samples", "Models/lwo/Teddy.lwo", ""},
    };
    for (const auto& [folder, path, why] : cases)
        EXPECT_EQ(missing(folder, path), why) << folder << ": " << path;
}

namespace {

class ReadmeGL : public ::testing::Test {};

// What the documents and the Makefile run the viewer on, options kept but --screenshot's file;
// then every sample object, which no document has to name.
std::vector<std::pair<std::string, std::string>> viewerRuns(std::size_t& named) {
    std::vector<std::pair<std::string, std::string>> runs;
    const auto add = [&runs](const std::string& model, const std::string& options) {
        if (std::find(runs.begin(), runs.end(), std::pair(model, options)) == runs.end())
            runs.emplace_back(model, options);
    };
    const std::string makefile = readText(source + "/Makefile");
    for (const std::smatch& m : matches(makefile, std::regex(R"(\nMODEL = (\S+))")))
        add(m[1], "");
    for (const auto& document : documents) {
        const std::string text = readText(source + "/" + document.first);
        for (const std::smatch& m :
             matches(text, std::regex(R"(make view MODEL=([^\s`]*[/.][^\s`]*))")))
            add(m[1], "");
        for (const std::smatch& m :
             matches(text, std::regex(R"(build/brackmoor-view (\S+\.lwo)([^#\n]*))")))
            if (m[1] != "MODEL.lwo")
                add(m[1], std::regex_replace(m[2].str(), std::regex(R"(\s*--screenshot \S+)"), ""));
    }
    named = runs.size();
    for (const auto& entry : fs::directory_iterator(source + "/samples/Objects"))
        add("samples/Objects/" + entry.path().filename().string(), "");
    return runs;
}

}  // namespace

// Run from the top folder as typed, each prints its one summary line and no problem (every image
// a model names is found), and what a document names shows on at least a fiftieth of the picture.
TEST_F(ReadmeGL, TheViewerShowsWhatTheDocumentsNameAndEverySample) {
    std::size_t named = 0;
    const auto runs = viewerRuns(named);
    ASSERT_GE(named, 3u);
    EXPECT_EQ(runs[0].first, "samples/Scenes/seq_city_02.lws") << "make view's own scene";
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::string& model = runs[i].first;
        std::string options = runs[i].second;
        if (options.find("--frames") == std::string::npos)
            options += " --frames 1";
        const std::string picture = bm::test::makeTempDir() + "/view.png", what = model + options;
        const bm::test::RunResult result = bm::test::runProgram(
            BRACKMOOR_VIEW, source, bm::test::quoted(model) + options + " --screenshot " + picture);
        EXPECT_EQ(result.exitCode, 0) << what << "\n" << result.err;
        EXPECT_EQ(result.err, "") << what;
        ASSERT_EQ(bm::test::lines(result.out).size(), 1u) << what << "\n" << result.out;
        EXPECT_EQ(result.out.rfind(model + ": ", 0), 0u) << result.out;
        EXPECT_NE(result.out.find(" loaded in "), std::string::npos) << result.out;
        const bm::test::PngImage image = bm::test::readPng(picture);
        ASSERT_GT(image.width, 0) << what;
        std::size_t lit = 0;
        for (std::size_t p = 0; p + 3 < image.rgba.size(); p += 4)
            lit += image.rgba[p] + image.rgba[p + 1] + image.rgba[p + 2] > 0;
        EXPECT_TRUE(i >= named || lit * 50 > std::size_t(image.width * image.height)) << what;
    }
}
