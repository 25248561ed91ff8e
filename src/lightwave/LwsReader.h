// LwsReader.h - reads LightWave scenes (LWSC, versions 1 to 5) from text in memory.
#pragma once

#include "LwsEnvelope.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace bm {

// The item kinds, numbered as the top hex digit of an item ID.
enum LwsItemType : int { LwsObject = 1, LwsLight = 2, LwsCamera = 3, LwsBone = 4 };

// The nine motion channels, in the file's order. Angles are radians whatever the file's version.
enum LwsChannel : int {
    LwsX,
    LwsY,
    LwsZ,
    LwsHeading,
    LwsPitch,
    LwsBank,
    LwsScaleX,
    LwsScaleY,
    LwsScaleZ,
    LwsChannelCount
};

struct LwsLightData {
    int type = 0;                  // 0 distant, 1 point, 2 spot, 3 linear, 4 area
    std::string handler;           // the LightHandler plug-in's name, when one is given
    double colour[3] = {1, 1, 1};  // 0 to 1 in every version
    LwsEnvelope intensity = constantEnvelope(1);
    double coneAngle = 30;  // spot half-angle, degrees
    double edgeAngle = 5;   // soft edge, degrees
    int falloff = 0;        // 0 off, 1 linear, 2 inverse distance, 3 inverse square
    double range = 1;       // falloff's nominal distance, metres
};

struct LwsCameraData {
    LwsEnvelope zoom = constantEnvelope(3.2);  // ZoomFactor: 1 / tan(half the vertical field)
    double nearClip = 0;                       // NearClipDistance; 0 when the file has none
    int frameWidth = 640, frameHeight = 480;   // FrameSize (Resolution in older files)
    double pixelAspect = 1;                    // PixelAspect
};

struct LwsItem {
    int type = LwsObject;
    std::string name;      // object path as written; null, light or camera name; or ""
    bool null = false;     // an object from AddNullObject: no geometry
    int layer = 0;         // LoadObjectLayer's layer, counted from 1; 0 for LoadObject
    std::uint32_t id = 0;  // the declaration's ID, or type << 28 | ordinal without one
    int line = 0;          // the line it is declared on
    int parent = -1;       // index in LwsScene::items; -1 for a root
    std::array<LwsEnvelope, LwsChannelCount> channels;  // x y z, heading pitch bank, scale
    bool hasPivot = false;               // a PivotPosition (PivotPoint) line was read
    double pivot[3] = {0, 0, 0};         // that line's point, item coordinates
    double defaultPivot[3] = {0, 0, 0};  // used without one: the caller sets an object's LAYR pivot
    double pivotRotation[3] = {0, 0, 0};  // PivotRotation heading, pitch, bank in radians
    LwsLightData light;                   // lights only
    LwsCameraData camera;                 // cameras only
};

enum LwsStatus : int {
    LwsRead = 0,       // a scene: items may still be empty
    LwsNotAScene = 1,  // the text does not begin with LWSC
    LwsNoVersion = 2,  // LWSC without a version number on the second line
};

struct LwsScene {
    int status = LwsNotAScene;
    int version = 0;  // as written; read as 5 when above 5
    double firstFrame = 1;
    double lastFrame = 60;
    double framesPerSecond = 30;
    double ambientColour[3] = {1, 1, 1};  // 0 to 1 in every version
    double ambientIntensity = 0.05;
    std::vector<LwsItem> items;  // objects, nulls, lights and cameras in file order; no bones
};

// Reads a scene from text; never reads past size. Problems go to report as lines beginning
// "LoadScene:" that name the line; a scene always comes back with finite values, every item with
// nine channels, parents resolved (the root for any that is missing, itself or on a cycle), and
// bones left out (their children given to the bone's object). Without reportUnused the line
// counting the keywords passed over that the reader does not know is left out: LightWave writes
// many a viewer has no use for, so it tells a quiet load nothing wrong.
// True when the bytes begin as a scene, LWSC, so a program can tell one from an object file.
bool isLightWaveScene(const unsigned char* data, std::size_t size);

LwsScene readLws(const char* text, std::size_t size, std::ostream& report,
                 bool reportUnused = true);

}  // namespace bm
