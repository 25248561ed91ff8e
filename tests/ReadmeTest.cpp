// ReadmeTest.cpp - what the README and the viewer's --help give a newcomer works in a fresh clone.
#include "support/GLWindow.h"
#include "support/PngFile.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using bm::test::lines;
using bm::test::quoted;
using bm::test::readText;
using bm::test::RunResult;

const std::string source = BRACKMOOR_SOURCE_DIR;

// The documents a newcomer reads, each with the folder its paths start from.
const struct {
    const char* file;
    const char* folder;
} documents[] = {{"README.md", ""}, {"samples/README.md", "samples"}};

std::vector<std::string> matches(const std::string& text, const std::regex& pattern,
                                 std::size_t group = 0) {
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it)
        found.push_back((*it)[group].str());
    return found;
}

bool isEntry(const std::string& folder, const std::string& name) {
    return fs::exists(fs::path(source) / folder / name);
}

// Why path, named in a document read from folder, is not where a fresh clone has it; empty when
// it is there or names no file of the repository (what a build makes, an installed tree, a
// system header, another project's folders). A path that begins with an entry of the document's
// folder or of the repository's top folder must exist. One that climbs out of a folder ("cd data
// && ../build/...") is read from the top folder and must exist there: nothing beside the
// repository is in a fresh clone.
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
    std::string from;
    if (!climbs && isEntry(folder, first))
        from = folder;
    else if (!climbs && !isEntry("", first))
        return "";
    return fs::exists(fs::path(source) / from / path) ? "" : "not in the repository";
}

std::string viewerHelp() {
    return bm::test::runProgram(BRACKMOOR_VIEW, source, "--help").out;
}

const std::regex pathPattern(R"((\.\./)*[A-Za-z0-9_.-]+(/[A-Za-z0-9_.-]+)+)");

}  // namespace

// Every file or folder the README, the samples' README and the viewer's --help name is in the
// repository, none beside it: a fresh clone has them all.
TEST(Readme, EveryPathItNamesIsInTheRepository) {
    struct Text {
        std::string name, folder, text;
    };
    std::vector<Text> texts;
    for (const auto& document : documents)
        texts.push_back({document.file, document.folder, readText(source + "/" + document.file)});
    texts.push_back({"brackmoor-view --help", "", viewerHelp()});
    for (const Text& text : texts) {
        ASSERT_FALSE(text.text.empty()) << text.name;
        for (std::string path : matches(text.text, pathPattern)) {
            while (path.back() == '.')  // a sentence's full stop
                path.pop_back();
            EXPECT_EQ(missing(text.folder, path), "") << text.name << ": " << path;
        }
    }
}

// The paths are judged as a fresh clone holds them.
TEST(Readme, PathsAreJudgedByTheRepositorysLayout) {
    const struct {
        const char* folder;
        const char* path;
        const char* why;
    } cases[] = {
        {"", "samples/Objects/hierarchy.lwo", ""},
        {"", "../shared/lwo/hierarchy.lwo", "not in the repository"},
        {"", "../../shared/lwo/hierarchy.lwo", "outside the repository"},
        {"", "samples/Objects/hierarchy.lwo.bak", "not in the repository"},
        {"", "../scripts/with-display.sh", ""},
        {"", "build/brackmoor-view", ""},
        {"", "include/brackmoor/", ""},
        {"samples", "Objects/Teddy.lwo", ""},
        {"samples", "Objects/teddy.lwo", "not in the repository"},
        {"samples", "samples/Objects/Teddy.lwo", ""},
        {"samples", "Models/lwo/Teddy.lwo", ""},
        {"samples", "../shared/lwo/boxuv.lwo", "not in the repository"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(missing(c.folder, c.path), c.why) << c.folder << ": " << c.path;
}

namespace {

struct ViewerRun {
    std::string model, options;  // options as written, --screenshot's file left out
    bool named;                  // a document names it: it must show something
};

// What the documents and the Makefile run the viewer on: `make view` with and without MODEL=,
// and the viewer's own command lines with a real model, their options kept; then every sample
// object, one frame each.
std::vector<ViewerRun> viewerRuns() {
    std::vector<ViewerRun> runs;
    const auto add = [&runs](const std::string& model, const std::string& options, bool named) {
        for (const ViewerRun& run : runs)
            if (run.model == model && run.options == options)
                return;
        runs.push_back({model, options, named});
    };
    const std::string makefile = readText(source + "/Makefile");
    for (const std::string& model : matches(makefile, std::regex(R"(\nMODEL = (\S+))"), 1))
        add(model, "", true);
    const std::regex makeView(R"(make view MODEL=([^\s`]*[/.][^\s`]*))");
    const std::regex viewer(R"(build/brackmoor-view (\S+\.lwo)([^#\n]*))");
    const std::regex screenshot(R"(\s*--screenshot \S+)");
    for (const auto& document : documents) {
        const std::string text = readText(source + "/" + document.file);
        for (const std::string& model : matches(text, makeView, 1))
            add(model, "", true);
        for (auto it = std::sregex_iterator(text.begin(), text.end(), viewer);
             it != std::sregex_iterator(); ++it)
            if ((*it)[1] != "MODEL.lwo")
                add((*it)[1], std::regex_replace((*it)[2].str(), screenshot, ""), true);
    }
    std::vector<std::string> samples;
    for (const auto& entry : fs::directory_iterator(source + "/samples/Objects"))
        samples.push_back("samples/Objects/" + entry.path().filename().string());
    std::sort(samples.begin(), samples.end());
    for (const std::string& model : samples)
        add(model, "", false);
    return runs;
}

// Pixels that are not black.
std::size_t litPixels(const bm::test::PngImage& image) {
    std::size_t lit = 0;
    for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4)
        lit += image.rgba[i] + image.rgba[i + 1] + image.rgba[i + 2] > 0;
    return lit;
}

class ReadmeGL : public ::testing::Test {};

}  // namespace

// From the repository's top folder, as the README has them typed, with no display of one's own:
// each run prints its one summary line and no problem line (every image the model names is found
// among the samples), and a model the documents name shows on at least a fiftieth of the picture.
TEST_F(ReadmeGL, TheViewerShowsWhatTheDocumentsNameAndEverySample) {
    const std::vector<ViewerRun> runs = viewerRuns();
    ASSERT_GE(runs.size(), 4u);
    EXPECT_EQ(runs[0].model, "samples/Scenes/seq_city_02.lws") << "make view's own scene";
    for (const ViewerRun& run : runs) {
        const std::string picture = bm::test::makeTempDir() + "/view.png";
        std::string options = run.options;
        if (options.find("--frames") == std::string::npos)
            options += " --frames 1";
        const RunResult result = bm::test::runProgram(
            BRACKMOOR_VIEW, source, quoted(run.model) + options + " --screenshot " + picture);
        const std::string what = run.model + options;
        EXPECT_EQ(result.exitCode, 0) << what << "\n" << result.err;
        EXPECT_EQ(result.err, "") << what;
        ASSERT_EQ(lines(result.out).size(), 1u) << what << "\n" << result.out;
        EXPECT_EQ(result.out.rfind(run.model + ": ", 0), 0u) << result.out;
        EXPECT_NE(result.out.find(" loaded in "), std::string::npos) << result.out;
        const bm::test::PngImage image = bm::test::readPng(picture);
        ASSERT_GT(image.width, 0) << what;
        if (run.named) {
            EXPECT_GT(litPixels(image) * 50, static_cast<std::size_t>(image.width * image.height))
                << what;
        }
    }
}
