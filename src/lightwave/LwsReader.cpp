// LwsReader.cpp - reads a LightWave scene line by line into items, their channels and parents.
// Every problem is passed over with a "LoadScene:" line; the scene that comes back is usable.
#include "LwsReader.h"

#include "LwsText.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace bm {

namespace {

constexpr std::size_t longestLine = 65536;
constexpr std::size_t mostKeys = 1000000;
constexpr int deepestBlock = 64;
constexpr long mostChannels = 64;
constexpr int mostProblems = 100;
constexpr double degree = 3.14159265358979323846 / 180;

// Keywords LightWave writes that a viewer has no use for: passed over without a word.
constexpr std::string_view quietPrefixes =
    "Show Locked HLimits PLimits BLimits IK Ctrl PathAlign SubPatch APS NodeDisplacement "
    "Radiosity Fog View Grid Schematic // Current Preview FrameStep RenderRange Bone Target "
    "Goal HController PController BController Morph NumChannels ZoomType Shadow Flare "
    "LensFlare Affect Group EndBehavior Pre/PostBehavior ObjectDissolve ApertureHeight "
    "Resolution MotionBlur FieldRendering DepthOfField Antialiasing AdaptiveSampling "
    "ChangeScene SegmentMemory Backdrop SolidBackdrop Zenith Sky Ground Nadir DataOverlay "
    "RenderMode RayTrace SaveRGB SaveAlpha Dither AnimatedDither PixelAspectRatio "
    "CustomPixelRatio FilmSize MaskPosition DefineView GraphEditor Column "
    "DoubleSidedAreaLights UseConeAngle LightQuality CacheShadowMap MeshBackgroundGroup "
    "ColorSpace";

bool quietKeyword(std::string_view keyword) {
    std::string_view rest = quietPrefixes;
    for (std::string_view prefix = firstToken(rest, rest); !prefix.empty();
         prefix = firstToken(rest, rest))
        if (keyword.substr(0, prefix.size()) == prefix)
            return true;
    return false;
}

// An item ID as LightWave 9.2 and later write it on declarations: eight hex digits, the first
// naming an item type.
bool looksLikeId(std::string_view token) {
    std::uint32_t id = 0;
    return token.size() == 8 && token[0] >= '1' && token[0] <= '4' && parseHex(token, id);
}

double channelDefault(int channel) {
    return channel >= LwsScaleX ? 1.0 : 0.0;
}

// Multiplies an envelope's values, and the tangents and handles given in value units.
void scaleValues(LwsEnvelope& envelope, double factor) {
    for (LwsKey& key : envelope.keys) {
        key.value *= factor;
        if (key.span == LwsBezier2D) {
            key.p[1] *= factor;
            key.p[3] *= factor;
        } else {
            key.p[3] *= factor;
            key.p[4] *= factor;
        }
    }
}

void scaleTimes(LwsEnvelope& envelope, double factor) {
    for (LwsKey& key : envelope.keys) {
        key.time *= factor;
        if (key.span == LwsBezier2D) {
            key.p[0] *= factor;
            key.p[2] *= factor;
        }
    }
}

struct ParentLink {
    bool set = false;
    bool byObjectNumber = false;  // version 1's ParentObject n, counted from 1
    std::uint32_t value = 0;      // the ID, or n
    int line = 0;
};

class Reader {
public:
    Reader(const char* text, std::size_t size, std::ostream& report, bool reportUnused)
        : lines(splitLines(text, size)), out(report), unusedReported(reportUnused) {}

    LwsScene run();

private:
    // Reporting: one line per problem, up to mostProblems.
    std::ostream& problem(int line);
    // A line that is read gets one problem line at most.
    std::ostream& problem() {
        return lastProblemLine == lineNumber() ? discard : problem(lineNumber());
    }
    int lineNumber() const { return static_cast<int>(at) + 1; }

    bool readHeader();
    void readLine();
    bool sceneKeyword(std::string_view keyword, std::string_view rest);
    bool declaration(std::string_view keyword, std::string_view rest);
    bool itemKeyword(std::string_view keyword, std::string_view rest);
    bool lightKeyword(LwsItem& item, std::string_view keyword, std::string_view rest);
    bool cameraKeyword(LwsItem& item, std::string_view keyword, std::string_view rest);
    void passOver(std::string_view keyword, std::string_view rest);
    LwsItem& addItem(int type, std::string_view rest, bool takesName);
    LwsItem* item(std::string_view keyword);

    // Numbers: a field that does not parse is reported and takes its default.
    double number(std::string_view token, double fallback);
    void numbers(std::string_view rest, double* values, std::size_t count, double fallback);
    long integer(std::string_view token, long fallback);

    // Envelopes in their three forms.
    LwsEnvelope scalar(std::string_view rest, double fallback);
    bool nextIsBlock() const;
    LwsEnvelope envelopeBlock();
    void readKey(std::string_view rest, LwsEnvelope& envelope, bool& full);
    void readBehaviours(std::string_view rest, LwsEnvelope& envelope);
    std::vector<LwsEnvelope> oldRecord();
    bool recordLine(std::string_view& line);
    void readOldKeys(std::vector<LwsEnvelope>& envelopes, std::size_t channels);
    void readInterimKeys(std::vector<LwsEnvelope>& envelopes, std::size_t channels);
    void readMotion(LwsItem* target);
    void skipBlock();
    void skipPlugin(std::string_view rest);

    // After the last line.
    void finishEnvelopes();
    void resolveParents();
    void giveBoneChildrenToObjects();
    void breakCycles();
    void dropBones();

    std::vector<std::string_view> lines;
    std::ostream& out;
    std::ostream discard{nullptr};
    int problems = 0;
    int lastProblemLine = 0;
    std::size_t at = 0;  // the line being read
    LwsScene scene;
    int current = -1;  // the item that item keywords apply to
    std::vector<ParentLink> links;
    std::vector<int> owners;          // a bone's object; -1 for other items
    std::vector<int> bonesOf;         // bones declared so far, per object
    std::vector<int> objectsInOrder;  // objects and nulls, for ParentObject
    int counts[5] = {0, 0, 0, 0, 0};  // items declared per type
    int lastObject = -1;
    std::size_t unknownLines = 0;
    bool unusedReported = true;  // the line about them is written
    int firstUnknownLine = 0;
    std::string firstUnknown;
};

std::ostream& Reader::problem(int line) {
    lastProblemLine = line;
    ++problems;
    if (problems > mostProblems + 1)
        return discard;
    if (problems == mostProblems + 1) {
        out << "LoadScene: more problems follow; they are not reported\n";
        return discard;
    }
    out << "LoadScene: line " << line << ": ";
    return out;
}

LwsScene Reader::run() {
    if (!readHeader())
        return std::move(scene);
    for (at = 2; at < lines.size(); ++at)
        readLine();
    if (unknownLines > 0 && unusedReported)
        problem(firstUnknownLine) << unknownLines << " line" << (unknownLines > 1 ? "s" : "")
                                  << " with keywords this reader does not use passed over, the "
                                     "first `"
                                  << firstUnknown << "`\n";
    finishEnvelopes();
    resolveParents();
    giveBoneChildrenToObjects();
    breakCycles();
    dropBones();
    out.flush();
    return std::move(scene);
}

bool Reader::readHeader() {
    if (lines.empty() || lines[0] != "LWSC") {
        out << "LoadScene: not a LightWave scene: the text does not begin with LWSC\n";
        return false;
    }
    std::string_view rest;
    const std::string_view token = lines.size() > 1 ? firstToken(lines[1], rest) : "";
    long version = 0;
    if (!parseInteger(token, version) || version < 1) {
        scene.status = LwsNoVersion;
        out << "LoadScene: line 2: no version number after LWSC; the scene is not read\n";
        return false;
    }
    scene.status = LwsRead;
    scene.version = static_cast<int>(std::min(version, 1000L));
    if (version > 5)
        problem(2) << "version " << version << " is newer than 5; read as version 5\n";
    return true;
}

void Reader::readLine() {
    const std::string_view line = lines[at];
    if (line.empty())
        return;
    if (line.size() > longestLine) {
        problem() << "longer than " << longestLine << " characters; passed over\n";
        return;
    }
    std::string_view rest;
    const std::string_view keyword = firstToken(line, rest);
    if (keyword == "Plugin")
        skipPlugin(rest);
    else if (keyword[0] == '{')
        skipBlock();
    else if (keyword == "}")
        problem() << "a closing brace outside any block; passed over\n";
    else if (!sceneKeyword(keyword, rest) && !declaration(keyword, rest) &&
             !itemKeyword(keyword, rest))
        passOver(keyword, rest);
}

// A keyword this reader has no use for, and the envelope that may follow it.
void Reader::passOver(std::string_view keyword, std::string_view rest) {
    if (rest == "(envelope)") {
        if (scene.version <= 2)
            oldRecord();
        else if (nextIsBlock())
            envelopeBlock();
    }
    if (quietKeyword(keyword))
        return;
    if (unknownLines++ == 0) {
        firstUnknownLine = lineNumber();
        firstUnknown = std::string(keyword.substr(0, 64));
    }
}

bool Reader::sceneKeyword(std::string_view keyword, std::string_view rest) {
    std::string_view more;
    const std::string_view first = firstToken(rest, more);
    if (keyword == "FirstFrame")
        scene.firstFrame = number(first, 1);
    else if (keyword == "LastFrame")
        scene.lastFrame = number(first, 60);
    else if (keyword == "FramesPerSecond") {
        scene.framesPerSecond = number(first, 30);
        if (!(scene.framesPerSecond > 0)) {
            problem() << "frames per second must be above 0; 30 is used\n";
            scene.framesPerSecond = 30;
        }
    } else if (keyword == "AmbientColor") {
        numbers(rest, scene.ambientColour, 3, scene.version <= 2 ? 255 : 1);
        if (scene.version <= 2)
            for (double& c : scene.ambientColour)
                c /= 255;
    } else if (keyword == "AmbientIntensity" || keyword == "AmbIntensity")
        scene.ambientIntensity = evaluateEnvelope(scalar(rest, 0.05), 0);
    else
        return false;
    return true;
}

bool Reader::declaration(std::string_view keyword, std::string_view rest) {
    if (keyword == "LoadObjectLayer") {
        std::string_view path;
        const std::string_view layer = firstToken(rest, path);
        const long number = integer(layer, 1);
        LwsItem& object = addItem(LwsObject, path, true);
        object.layer = static_cast<int>(std::clamp(number, 0L, 65536L));
    } else if (keyword == "LoadObject") {
        addItem(LwsObject, rest, true);
    } else if (keyword == "AddNullObject") {
        addItem(LwsObject, rest, true).null = true;
    } else if (keyword == "AddLight") {
        addItem(LwsLight, rest, false);
    } else if (keyword == "AddCamera") {
        addItem(LwsCamera, rest, false);
    } else if (keyword == "AddBone") {
        addItem(LwsBone, rest, false);
    } else if (scene.version == 1 && (keyword == "ShowCamera" || keyword == "CameraMotion") &&
               (current < 0 || scene.items[current].type != LwsCamera)) {
        // Version 1 has one camera and no line declaring it: its section starts here.
        addItem(LwsCamera, "", false);
        return keyword == "CameraMotion" ? itemKeyword(keyword, rest) : true;
    } else {
        return false;
    }
    return true;
}

LwsItem& Reader::addItem(int type, std::string_view rest, bool takesName) {
    LwsItem item;
    item.type = type;
    item.line = lineNumber();
    for (int c = 0; c < LwsChannelCount; ++c)
        item.channels[c] = constantEnvelope(channelDefault(c));
    const int ordinal = counts[type]++;
    int owner = -1;
    if (type == LwsBone) {
        owner = lastObject;
        const int bone = owner >= 0 ? bonesOf[owner]++ : ordinal;
        const int object = owner >= 0 ? static_cast<int>(scene.items[owner].id & 0xFFFF) : 0;
        item.id = 0x40000000u | (std::uint32_t(bone & 0xFFF) << 16) | std::uint32_t(object);
    } else {
        item.id = (std::uint32_t(type) << 28) | (std::uint32_t(ordinal) & 0x0FFFFFFF);
    }
    std::string_view name = rest;
    if (scene.version >= 4) {
        std::string_view after;
        const std::string_view token = firstToken(rest, after);
        if (looksLikeId(token)) {
            parseHex(token, item.id);
            name = after;
        }
    }
    if (takesName)
        item.name = std::string(unquote(name));
    scene.items.push_back(std::move(item));
    links.emplace_back();
    owners.push_back(owner);
    bonesOf.push_back(0);
    current = static_cast<int>(scene.items.size()) - 1;
    if (type == LwsObject) {
        lastObject = current;
        objectsInOrder.push_back(current);
    }
    if (takesName && scene.items.back().name.empty())
        problem() << "an object without a name or path\n";
    return scene.items.back();
}

// The item an item keyword applies to; null, with a line, before the first item.
LwsItem* Reader::item(std::string_view keyword) {
    if (current >= 0)
        return &scene.items[current];
    problem() << "`" << keyword << "` before any item; passed over\n";
    return nullptr;
}

bool Reader::itemKeyword(std::string_view keyword, std::string_view rest) {
    std::string_view more;
    const std::string_view first = firstToken(rest, more);
    const bool motion = keyword == "ObjectMotion" || keyword == "LightMotion" ||
                        keyword == "CameraMotion" || keyword == "BoneMotion";
    if (motion) {
        // From version 3 on the channels follow as Channel lines; before, a record follows.
        if (scene.version <= 2)
            readMotion(current >= 0 ? &scene.items[current] : nullptr);
        return true;
    }
    if (keyword == "Channel") {
        const long channel = integer(first, -1);
        LwsEnvelope envelope;
        if (nextIsBlock())
            envelope = envelopeBlock();
        else
            problem() << "Channel " << channel << " has no envelope block after it\n";
        LwsItem* target = item(keyword);
        if (target != nullptr && channel >= 0 && channel < LwsChannelCount)
            target->channels[channel] = std::move(envelope);
        else if (target != nullptr && (channel < 0 || channel >= mostChannels))
            problem() << "channel " << channel << " is not one of 0 to " << mostChannels - 1
                      << "; passed over\n";
        return true;
    }
    const bool parent = keyword == "ParentItem" || keyword == "ParentObject";
    const bool pivot = keyword == "PivotPosition" || keyword == "PivotPoint";
    if (parent || pivot || keyword == "PivotRotation") {
        LwsItem* target = item(keyword);
        if (target == nullptr)
            return true;
        ParentLink& link = links[current];
        if (keyword == "ParentObject") {
            const long n = integer(first, 0);
            link =
                ParentLink{n > 0, true, static_cast<std::uint32_t>(std::max(n, 0L)), lineNumber()};
        } else if (keyword == "ParentItem") {
            std::uint32_t id = 0;
            if (parseHex(first, id))
                link = ParentLink{true, false, id, lineNumber()};
            else
                problem() << "`" << first << "` is not a hexadecimal item ID; passed over\n";
        } else if (pivot) {
            numbers(rest, target->pivot, 3, 0);
            target->hasPivot = true;
        } else {
            numbers(rest, target->pivotRotation, 3, 0);
            for (double& angle : target->pivotRotation)
                angle *= degree;
        }
        return true;
    }
    if (current >= 0 && scene.items[current].type == LwsLight &&
        lightKeyword(scene.items[current], keyword, rest))
        return true;
    if (current >= 0 && scene.items[current].type == LwsCamera &&
        cameraKeyword(scene.items[current], keyword, rest))
        return true;
    return false;
}

bool Reader::lightKeyword(LwsItem& light, std::string_view keyword, std::string_view rest) {
    std::string_view more;
    const std::string_view first = firstToken(rest, more);
    LwsLightData& data = light.light;
    if (keyword == "LightName")
        light.name = std::string(unquote(rest));
    else if (keyword == "LightType")
        data.type = static_cast<int>(std::clamp(integer(first, 0), 0L, 4L));
    else if (keyword == "LightColor") {
        const double full = scene.version <= 2 ? 255 : 1;
        numbers(rest, data.colour, 3, full);
        for (double& c : data.colour)
            c /= full;
    } else if (keyword == "LightIntensity" || keyword == "LgtIntensity")
        data.intensity = scalar(rest, 1);
    else if (keyword == "LightConeAngle")
        data.coneAngle = evaluateEnvelope(scalar(rest, 30), 0);
    else if (keyword == "LightEdgeAngle")
        data.edgeAngle = evaluateEnvelope(scalar(rest, 5), 0);
    else if (keyword == "LightFalloffType")
        data.falloff = static_cast<int>(std::clamp(integer(first, 0), 0L, 3L));
    else if (keyword == "LightRange")
        data.range = evaluateEnvelope(scalar(rest, 1), 0);
    else
        return false;
    return true;
}

bool Reader::cameraKeyword(LwsItem& camera, std::string_view keyword, std::string_view rest) {
    std::string_view more;
    const std::string_view first = firstToken(rest, more);
    LwsCameraData& data = camera.camera;
    if (keyword == "CameraName")
        camera.name = std::string(unquote(rest));
    else if (keyword == "ZoomFactor")
        data.zoom = scalar(rest, 3.2);
    else if (keyword == "NearClipDistance")
        data.nearClip = std::max(0.0, number(first, 0));
    else if (keyword == "PixelAspect")
        data.pixelAspect = number(first, 1);
    else if (keyword == "FrameSize") {
        std::string_view last;
        const std::string_view height = firstToken(more, last);
        data.frameWidth = static_cast<int>(std::clamp(integer(first, 640), 1L, 1L << 20));
        data.frameHeight = static_cast<int>(std::clamp(integer(height, 480), 1L, 1L << 20));
    } else
        return false;
    if (!(data.pixelAspect > 0)) {
        problem() << "pixel aspect must be above 0; 1 is used\n";
        data.pixelAspect = 1;
    }
    return true;
}

double Reader::number(std::string_view token, double fallback) {
    double value = 0;
    if (parseReal(token, value))
        return value;
    if (token.empty())
        problem() << "a number is missing; " << fallback << " is used\n";
    else
        problem() << "`" << token.substr(0, 64) << "` is not a finite number; " << fallback
                  << " is used\n";
    return fallback;
}

void Reader::numbers(std::string_view rest, double* values, std::size_t count, double fallback) {
    for (std::size_t i = 0; i < count; ++i) {
        std::string_view after;
        const std::string_view token = firstToken(rest, after);
        values[i] = number(token, fallback);
        rest = after;
    }
}

long Reader::integer(std::string_view token, long fallback) {
    const double value = number(token, static_cast<double>(fallback));
    if (std::fabs(value) > 1e9) {
        problem() << "`" << token.substr(0, 64) << "` is out of range; " << fallback
                  << " is used\n";
        return fallback;
    }
    return static_cast<long>(std::lround(value));
}

// A parameter that is a number or, written `(envelope)`, an envelope that follows.
LwsEnvelope Reader::scalar(std::string_view rest, double fallback) {
    if (rest != "(envelope)") {
        std::string_view more;
        return constantEnvelope(number(firstToken(rest, more), fallback));
    }
    LwsEnvelope envelope;
    if (scene.version <= 2) {
        std::vector<LwsEnvelope> record = oldRecord();
        if (!record.empty())
            envelope = std::move(record[0]);
    } else if (nextIsBlock()) {
        envelope = envelopeBlock();
    } else {
        problem() << "`(envelope)` without an envelope block after it\n";
    }
    tidyEnvelope(envelope);
    if (envelope.keys.empty())
        return constantEnvelope(fallback);
    return envelope;
}

bool Reader::nextIsBlock() const {
    return at + 1 < lines.size() && !lines[at + 1].empty() && lines[at + 1][0] == '{';
}

// The block that starts on the next line: an envelope when it says so, otherwise passed over.
LwsEnvelope Reader::envelopeBlock() {
    ++at;
    std::string_view name;
    firstToken(lines[at], name);
    LwsEnvelope envelope;
    if (name != "Envelope") {
        skipBlock();
        return envelope;
    }
    const int start = lineNumber();
    bool counted = false, full = false;
    int depth = 1;
    for (++at; at < lines.size(); ++at) {
        const std::string_view line = lines[at];
        std::string_view rest;
        const std::string_view keyword = firstToken(line, rest);
        if (!keyword.empty() && keyword[0] == '{') {
            if (++depth == deepestBlock + 1)
                problem() << "blocks nested deeper than " << deepestBlock << "\n";
        } else if (keyword == "}") {
            if (--depth == 0)
                return envelope;
        } else if (depth > 1 || keyword.empty()) {
        } else if (keyword == "Key") {
            readKey(rest, envelope, full);
        } else if (keyword == "Behaviors") {
            readBehaviours(rest, envelope);
        } else if (!counted) {
            counted = true;  // the key count: the Key lines themselves are trusted
        }
    }
    problem(start) << "the envelope has no closing brace; the keys read are kept\n";
    return envelope;
}

void Reader::readKey(std::string_view rest, LwsEnvelope& envelope, bool& full) {
    if (envelope.keys.size() >= mostKeys) {
        if (!full)
            problem() << "more than " << mostKeys << " keys; the rest are passed over\n";
        full = true;
        return;
    }
    double fields[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::size_t count = 0;
    for (std::string_view token = firstToken(rest, rest); !token.empty() && count < 9;
         token = firstToken(rest, rest))
        fields[count++] = number(token, 0);
    if (count < 2) {
        problem() << "a key needs a value and a time; passed over\n";
        return;
    }
    LwsKey key;
    key.value = fields[0];
    key.time = fields[1];
    key.span = static_cast<int>(std::clamp(fields[2], -1.0, 99.0));
    std::copy(fields + 3, fields + 9, key.p);
    envelope.keys.push_back(key);
}

void Reader::readBehaviours(std::string_view rest, LwsEnvelope& envelope) {
    std::string_view more;
    const std::string_view pre = firstToken(rest, more);
    std::string_view last;
    const std::string_view post = firstToken(more, last);
    envelope.pre = static_cast<int>(integer(pre, LwsConstant));
    envelope.post = static_cast<int>(integer(post, LwsConstant));
}

// The line after the current one when it holds numbers, as a version-1 or version-2 record's
// lines do; false, with nothing consumed, otherwise.
bool Reader::recordLine(std::string_view& line) {
    if (at + 1 >= lines.size())
        return false;
    const std::string_view next = lines[at + 1];
    std::string_view rest;
    double value = 0;
    if (!parseReal(firstToken(next, rest), value))
        return false;
    ++at;
    line = next;
    return true;
}

// A version-1 or version-2 keyframe record after the current line: one envelope per channel.
std::vector<LwsEnvelope> Reader::oldRecord() {
    const int start = lineNumber();
    std::string_view line;
    if (!recordLine(line)) {
        problem(start) << "a keyframe record without its channel count; passed over\n";
        return {};
    }
    std::string_view rest;
    const long channels = integer(firstToken(line, rest), 0);
    if (channels < 1 || channels > mostChannels) {
        problem() << "a keyframe record with " << channels << " channels; passed over\n";
        return {};
    }
    // Channels past the nine are read over but not kept.
    std::vector<LwsEnvelope> envelopes(std::min<std::size_t>(channels, LwsChannelCount));
    if (scene.version == 1)
        readOldKeys(envelopes, static_cast<std::size_t>(channels));
    else
        readInterimKeys(envelopes, static_cast<std::size_t>(channels));
    return envelopes;
}

// Version 1: the key count, then per key a line of every channel's value and a line
// `frame linear tension continuity bias`; then EndBehavior. Times stay frames until the end.
void Reader::readOldKeys(std::vector<LwsEnvelope>& envelopes, std::size_t channels) {
    std::string_view line, rest;
    long keys = 0;
    if (recordLine(line))
        keys = integer(firstToken(line, rest), 0);
    for (long k = 0; k < keys && static_cast<std::size_t>(k) < mostKeys; ++k) {
        std::string_view values, spline;
        if (!recordLine(values) || !recordLine(spline)) {
            problem() << "the keyframe record ends after " << k << " of its " << keys << " keys\n";
            break;
        }
        double shape[5] = {0, 0, 0, 0, 0};
        numbers(spline, shape, 5, 0);
        // A channel whose value is missing gets no key here.
        for (std::size_t c = 0; c < channels; ++c) {
            LwsKey key;
            std::string_view after;
            const std::string_view token = firstToken(values, after);
            if (token.empty()) {
                problem() << "the key has " << c << " of its " << channels << " values\n";
                break;
            }
            key.value = number(token, 0);
            values = after;
            key.time = shape[0];
            key.span = shape[1] != 0 ? LwsLinear : LwsTcb;
            std::copy(shape + 2, shape + 5, key.p);
            if (c < envelopes.size())
                envelopes[c].keys.push_back(key);
        }
    }
    if (at + 1 < lines.size()) {
        std::string_view after;
        if (firstToken(lines[at + 1], after) == "FrameOffset")
            ++at;
    }
    if (at + 1 < lines.size()) {
        std::string_view after;
        if (firstToken(lines[at + 1], after) == "EndBehavior") {
            ++at;
            std::string_view more;
            // 0 reset, 1 hold the last value, 2 repeat: the numbers of later versions.
            const int post = static_cast<int>(integer(firstToken(after, more), LwsConstant));
            for (LwsEnvelope& envelope : envelopes)
                envelope.post = post;
        }
    }
}

// Version 2: per channel a key count and `value time 2 tension continuity bias` lines, then a
// Pre/PostBehavior line with a pair per channel.
void Reader::readInterimKeys(std::vector<LwsEnvelope>& envelopes, std::size_t channels) {
    for (std::size_t c = 0; c < channels; ++c) {
        std::string_view line, rest;
        if (!recordLine(line)) {
            problem() << "the keyframe record ends after " << c << " channels\n";
            return;
        }
        const long keys = integer(firstToken(line, rest), 0);
        for (long k = 0; k < keys && static_cast<std::size_t>(k) < mostKeys; ++k) {
            if (!recordLine(line)) {
                problem() << "the keyframe record ends inside channel " << c << "\n";
                return;
            }
            double fields[6] = {0, 0, 0, 0, 0, 0};
            numbers(line, fields, 6, 0);
            LwsKey key;
            key.value = fields[0];
            key.time = fields[1];
            std::copy(fields + 3, fields + 6, key.p);
            if (c < envelopes.size())
                envelopes[c].keys.push_back(key);
        }
    }
    if (at + 1 >= lines.size())
        return;
    std::string_view rest;
    if (firstToken(lines[at + 1], rest) != "Pre/PostBehavior")
        return;
    ++at;
    for (LwsEnvelope& envelope : envelopes) {
        std::string_view more, last;
        const std::string_view pre = firstToken(rest, more);
        const std::string_view post = firstToken(more, last);
        rest = last;
        if (pre.empty() || post.empty())
            break;
        envelope.pre = static_cast<int>(integer(pre, LwsConstant));
        envelope.post = static_cast<int>(integer(post, LwsConstant));
    }
}

// A version-1 or version-2 motion record, its angles turned from degrees to radians.
void Reader::readMotion(LwsItem* target) {
    std::vector<LwsEnvelope> record = oldRecord();
    if (target == nullptr) {
        problem() << "a motion before any item; passed over\n";
        return;
    }
    for (std::size_t c = 0; c < record.size() && c < LwsChannelCount; ++c) {
        if (c >= LwsHeading && c <= LwsBank)
            scaleValues(record[c], degree);
        target->channels[c] = std::move(record[c]);
    }
}

void Reader::skipBlock() {
    const int start = lineNumber();
    int depth = 0;
    for (; at < lines.size(); ++at) {
        std::string_view rest;
        const std::string_view keyword = firstToken(lines[at], rest);
        if (!keyword.empty() && keyword[0] == '{')
            ++depth;
        else if (keyword == "}" && --depth == 0)
            return;
    }
    problem(start) << "the block has no closing brace\n";
}

// Plug-in data follows no grammar: everything up to EndPlugin is passed over. The header of a
// light's handler names the light's type.
void Reader::skipPlugin(std::string_view rest) {
    std::string_view more;
    const std::string_view kind = firstToken(rest, more);
    std::string_view server;
    firstToken(more, server);
    if (kind == "LightHandler" && current >= 0 && scene.items[current].type == LwsLight) {
        static constexpr std::string_view handlers[] = {"DistantLight", "PointLight", "SpotLight",
                                                        "LinearLight", "AreaLight"};
        LwsLightData& light = scene.items[current].light;
        light.handler = std::string(unquote(server));
        for (int type = 0; type < 5; ++type)
            if (light.handler == handlers[type])
                light.type = type;
    }
    const int start = lineNumber();
    for (++at; at < lines.size(); ++at) {
        std::string_view after;
        if (firstToken(lines[at], after) == "EndPlugin")
            return;
    }
    problem(start) << "the plug-in section has no EndPlugin\n";
}

void Reader::finishEnvelopes() {
    const double secondsPerFrame = 1 / scene.framesPerSecond;
    for (LwsItem& item : scene.items) {
        for (int c = 0; c < LwsChannelCount; ++c) {
            LwsEnvelope& envelope = item.channels[c];
            if (scene.version == 1)
                scaleTimes(envelope, secondsPerFrame);
            tidyEnvelope(envelope);
            if (envelope.keys.empty()) {
                problem(item.line)
                    << "channel " << c << " has no keys; " << channelDefault(c) << " is used\n";
                envelope = constantEnvelope(channelDefault(c));
            }
            if (item.type == LwsCamera && c >= LwsScaleX)
                envelope = constantEnvelope(1);  // cameras are never scaled
        }
        if (scene.version == 1) {
            scaleTimes(item.light.intensity, secondsPerFrame);
            scaleTimes(item.camera.zoom, secondsPerFrame);
            tidyEnvelope(item.light.intensity);
            tidyEnvelope(item.camera.zoom);
        }
    }
}

void Reader::resolveParents() {
    std::unordered_map<std::uint32_t, int> byId;
    for (std::size_t i = 0; i < scene.items.size(); ++i) {
        const auto [place, added] = byId.emplace(scene.items[i].id, static_cast<int>(i));
        if (!added)
            problem(scene.items[i].line)
                << "the item ID " << std::hex << scene.items[i].id << std::dec
                << " is also the item's on line " << scene.items[place->second].line
                << "; parents name the first\n";
    }
    for (std::size_t i = 0; i < scene.items.size(); ++i) {
        const ParentLink& link = links[i];
        if (!link.set)
            continue;
        int parent = -1;
        if (link.byObjectNumber) {
            if (link.value >= 1 && link.value <= objectsInOrder.size())
                parent = objectsInOrder[link.value - 1];
        } else if (const auto found = byId.find(link.value); found != byId.end()) {
            parent = found->second;
        }
        if (parent < 0)
            problem(link.line) << "the parent names no item; the item is made a root\n";
        else if (parent == static_cast<int>(i))
            problem(link.line) << "the item is its own parent; it is made a root\n";
        else
            scene.items[i].parent = parent;
    }
}

// Bones are left out; an item parented to a bone is parented to the bone's object instead.
void Reader::giveBoneChildrenToObjects() {
    for (LwsItem& item : scene.items) {
        if (item.type == LwsBone || item.parent < 0 || scene.items[item.parent].type != LwsBone)
            continue;
        const int bone = item.parent;
        item.parent = owners[bone];
        problem(links[&item - scene.items.data()].line)
            << "the parent is the bone on line " << scene.items[bone].line
            << "; bones are left out, so the parent is "
            << (item.parent >= 0 ? "the bone's object" : "none") << "\n";
    }
}

void Reader::breakCycles() {
    std::vector<char> state(scene.items.size(), 0);  // 0 unseen, 1 on the walk, 2 done
    std::vector<int> walk;
    for (std::size_t start = 0; start < scene.items.size(); ++start) {
        walk.clear();
        int i = static_cast<int>(start);
        while (i >= 0 && state[i] == 0 && scene.items[i].type != LwsBone) {
            state[i] = 1;
            walk.push_back(i);
            i = scene.items[i].parent;
        }
        if (i >= 0 && state[i] == 1) {
            LwsItem& closing = scene.items[walk.back()];
            closing.parent = -1;
            problem(links[walk.back()].line)
                << "the parent closes a cycle of parents; the item is made a root\n";
        }
        for (int visited : walk)
            state[visited] = 2;
    }
}

void Reader::dropBones() {
    std::vector<int> index(scene.items.size(), -1);
    std::vector<LwsItem> kept;
    for (std::size_t i = 0; i < scene.items.size(); ++i) {
        if (scene.items[i].type == LwsBone)
            continue;
        index[i] = static_cast<int>(kept.size());
        kept.push_back(std::move(scene.items[i]));
    }
    for (LwsItem& item : kept)
        item.parent = item.parent >= 0 ? index[item.parent] : -1;
    scene.items = std::move(kept);
}

}  // namespace

bool isLightWaveScene(const unsigned char* data, std::size_t size) {
    return size >= 4 && std::memcmp(data, "LWSC", 4) == 0;
}

LwsScene readLws(const char* text, std::size_t size, std::ostream& report, bool reportUnused) {
    return Reader(text, size, report, reportUnused).run();
}

}  // namespace bm
