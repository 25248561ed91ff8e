// BrackmoorScreenshot.h - the frames a program draws: counted, the last one read back from GL and
// written as a PNG file.
#pragma once

#include "BrackmoorProgramOptions.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace bm {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// rgba holds height rows of width RGBA pixels, bottom row first, as glReadPixels returns them;
// the file gets them as opaque RGB. Returns false when libpng reports an error.
bool writePng(std::FILE* file, int width, int height, const std::vector<unsigned char>& rgba);

// Counts the frames drawn, keeps the last one for --screenshot and leaves GLUT's main loop after
// --frames of them. The frame read is the engine's window size, from the back buffer.
class FrameRecorder {
public:
    explicit FrameRecorder(const ProgramOptions& programOptions) : options(programOptions) {}

    long framesDrawn() const { return drawn; }
    // Every frame asked for is drawn. When the last one comes from the display function, GLUT
    // still runs the idle function once before it leaves the main loop; that call draws nothing.
    bool allDrawn() const { return options.frames > 0 && drawn >= options.frames; }
    // Called after each frame is drawn and before it is shown.
    void frameDrawn();
    // Writes the last frame kept to the --screenshot file, when one was asked for. Returns the
    // exit status: 0, or 1 after one line on standard error.
    int writeScreenshot() const;

private:
    void captureFrame();
    bool savePicture() const;

    const ProgramOptions& options;
    long drawn = 0;
    std::vector<unsigned char> lastFrame;  // RGBA, bottom row first; empty until captured
};

}  // namespace bm
