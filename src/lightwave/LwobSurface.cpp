// LwobSurface.cpp - an LWOB SURF chunk's sub-chunks turned into the surface's looks.
#include "LwobSurface.h"

#include "BrackmoorConversion.h"
#include "LwoReportLines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr std::size_t chunkHeader = 8;       // id and U4 length
constexpr std::size_t subchunkHeader = 6;    // id and U2 length
constexpr float levelScale = 256.0f;         // LUMI, DIFF, TRAN: 256 is 100 %
constexpr float byteScale = 255.0f;          // COLR bytes
constexpr unsigned smoothingBit = 4;         // in FLAG
constexpr unsigned axisBits = 7;             // in TFLG: 1 X, 2 Y, 4 Z
constexpr unsigned worldCoordinatesBit = 8;  // in TFLG
// The smoothing bit without an SMAN: 89.5 degrees, the angle LightWave writes for the surfaces it
// smooths (the files at hand carry 1.562 radians).
constexpr float defaultSmoothingAngle = 89.5f * 3.14159265f / 180.0f;

// CTEX types that lay an image on the model, indexed by their projection number.
constexpr const char* imageMapTypes[] = {"Planar Image Map", "Cylindrical Image Map",
                                         "Spherical Image Map", "Cubic Image Map",
                                         "Front Projection Image Map"};
// Sub-chunks that start a texture: of the colour channel (CTEX) or of another one, such as
// diffuse (DTEX) or bump (BTEX).
constexpr const char* textureStarts[] = {"CTEX", "DTEX", "STEX", "RTEX", "TTEX", "LTEX", "BTEX"};

struct FieldSize {
    const char* id;
    std::uint32_t minimum;  // bytes the sub-chunk needs before it is read
};
constexpr FieldSize fieldSizes[] = {
    {"COLR", 3}, {"FLAG", 2},  {"DIFF", 2},  {"TRAN", 2}, {"VDIF", 4}, {"VTRN", 4}, {"SMAN", 4},
    {"TFLG", 2}, {"TSIZ", 12}, {"TCTR", 12}, {"TFP0", 4}, {"TFP1", 4}, {"TWRP", 4}};
// Fields only the surface's looks use: a read that does not want them passes short ones over
// without a word, as it did before it read them.
constexpr FieldSize looksFieldSizes[] = {{"LUMI", 2}, {"VLUM", 4}};

bool matchId(const unsigned char* at, const char* id) {
    return std::memcmp(at, id, 4) == 0;
}

std::uint32_t readU2(const unsigned char* at) {
    return (std::uint32_t(at[0]) << 8) | at[1];
}

std::size_t padded(std::size_t length) {
    return length + (length & 1);
}

template <std::size_t n>
std::uint32_t minimumIn(const FieldSize (&fields)[n], const unsigned char* id) {
    for (const FieldSize& field : fields)
        if (matchId(id, field.id))
            return field.minimum;
    return 0;
}

bool startsTexture(const unsigned char* id) {
    return std::any_of(std::begin(textureStarts), std::end(textureStarts),
                       [id](const char* start) { return matchId(id, start); });
}

// Every T... sub-chunk belongs to the latest texture, but for the surface's own TRAN and the
// TTEX that starts a transparency texture.
bool isTextureField(const unsigned char* id) {
    return id[0] == 'T' && !matchId(id, "TRAN") && !matchId(id, "TTEX");
}

// A string sub-chunk: up to its first 0 byte, or all of it when there is none.
std::string_view stringIn(const unsigned char* body, std::size_t length) {
    const void* zero = std::memchr(body, 0, length);
    const std::size_t size =
        zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - body) : length;
    return std::string_view(reinterpret_cast<const char*>(body), size);
}

void readVector(const unsigned char* body, float (&out)[3]) {
    for (int k = 0; k < 3; ++k)
        out[k] = convertBytesToFloat(body + 4 * k);
}

// TWRP numbers the modes black, edge, repeat, mirror; ImageBlock numbers them reset, repeat,
// mirror, edge. Other values keep what the block had.
int wrapMode(std::uint32_t value, int kept) {
    constexpr int modes[] = {0, 3, 1, 2};
    return value < 4 ? modes[value] : kept;
}

class SurfaceReader {
public:
    SurfaceReader(const unsigned char* bytes, bm::ReportWriter& report, bool looksWanted)
        : data(bytes), out(report), withLooks(looksWanted) {}
    bm::LwobSurface read(std::size_t at, std::size_t limit);

private:
    bool readSubchunk(std::size_t& at, std::size_t limit);
    void apply(std::size_t at, std::uint32_t length);
    void applySurfaceField(const unsigned char* id, const unsigned char* body,
                           std::uint32_t length);
    void applyTextureField(const unsigned char* id, const unsigned char* body,
                           std::uint32_t length);
    void startTexture(const unsigned char* id, std::string_view type);
    bm::ReportWriter& subchunkProblem(std::size_t at);

    enum class Texture { none, colourImage, other };

    const unsigned char* data;
    bm::ReportWriter& out;
    bool withLooks;
    bm::LwobSurface result;
    // VLUM, VDIF, VTRN: preferred to LUMI, DIFF, TRAN.
    bool hasLuminosity = false, hasDiffuse = false, hasTransparency = false;
    unsigned flags = 0;
    bool hasSmoothingAngle = false;
    float smoothingAngle = 0.0f;
    Texture texture = Texture::none;  // what the latest ?TEX started
};

bm::LwobSurface SurfaceReader::read(std::size_t at, std::size_t limit) {
    while (at < limit && readSubchunk(at, limit)) {
    }
    if ((flags & smoothingBit) != 0)
        result.looks.smoothingAngle = hasSmoothingAngle ? smoothingAngle : defaultSmoothingAngle;
    return std::move(result);
}

bm::ReportWriter& SurfaceReader::subchunkProblem(std::size_t at) {
    char id[5];
    out.problem().text(bm::printableId(data + at, id)).text(" sub-chunk at offset ");
    return out.number(static_cast<std::int64_t>(at));
}

bool SurfaceReader::readSubchunk(std::size_t& at, std::size_t limit) {
    if (limit - at < subchunkHeader) {
        out.problem()
            .text("the surface attribute at offset ")
            .number(static_cast<std::int64_t>(at));
        out.text(" runs past the end of its SURF chunk; passed over").endLine();
        return false;
    }
    const std::uint32_t length = readU2(data + at + 4);
    if (length > limit - at - subchunkHeader) {
        subchunkProblem(at).text(" runs past the end of its SURF chunk;");
        out.text(" the rest of the surface is passed over").endLine();
        return false;
    }
    apply(at, length);
    at = std::min(limit, at + subchunkHeader + padded(length));
    return true;
}

void SurfaceReader::apply(std::size_t at, std::uint32_t length) {
    const unsigned char* id = data + at;
    const bool textureField = isTextureField(id);
    if (textureField && texture == Texture::none) {
        subchunkProblem(at).text(" comes before any texture; passed over").endLine();
        return;
    }
    // Procedural textures and other channels' textures are not drawn.
    if (textureField && texture == Texture::other)
        return;
    const std::uint32_t looksMinimum = minimumIn(looksFieldSizes, id);
    if (length < looksMinimum && !withLooks)
        return;
    if (length < std::max(minimumIn(fieldSizes, id), looksMinimum)) {
        subchunkProblem(at).text(" is too short (").number(length).text(" bytes); passed over");
        out.endLine();
        return;
    }
    const unsigned char* body = id + subchunkHeader;
    if (textureField)
        applyTextureField(id, body, length);
    else
        applySurfaceField(id, body, length);
}

void SurfaceReader::applySurfaceField(const unsigned char* id, const unsigned char* body,
                                      std::uint32_t length) {
    bm::SurfaceData& looks = result.looks;
    if (matchId(id, "COLR")) {
        for (int k = 0; k < 3; ++k)
            looks.colour[k] = body[k] / byteScale;
        result.hasColour = true;
    } else if (matchId(id, "FLAG")) {
        flags = readU2(body);
    } else if (matchId(id, "LUMI") && !hasLuminosity) {
        looks.luminosity = readU2(body) / levelScale;
    } else if (matchId(id, "VLUM")) {
        looks.luminosity = convertBytesToFloat(body);
        hasLuminosity = true;
    } else if (matchId(id, "DIFF") && !hasDiffuse) {
        looks.diffuse = readU2(body) / levelScale;
    } else if (matchId(id, "VDIF")) {
        looks.diffuse = convertBytesToFloat(body);
        hasDiffuse = true;
    } else if (matchId(id, "TRAN") && !hasTransparency) {
        looks.transparency = readU2(body) / levelScale;
    } else if (matchId(id, "VTRN")) {
        looks.transparency = convertBytesToFloat(body);
        hasTransparency = true;
    } else if (matchId(id, "SMAN")) {
        smoothingAngle = convertBytesToFloat(body);
        hasSmoothingAngle = true;
    } else if (startsTexture(id)) {
        startTexture(id, stringIn(body, length));
    }
}

void SurfaceReader::startTexture(const unsigned char* id, std::string_view type) {
    texture = Texture::other;
    if (!matchId(id, "CTEX"))
        return;
    for (int projection = 0; projection < int(std::size(imageMapTypes)); ++projection) {
        if (type != imageMapTypes[projection])
            continue;
        bm::ImageBlock image;
        image.projection = projection;
        result.looks.images.push_back(std::move(image));
        texture = Texture::colourImage;
        return;
    }
}

void SurfaceReader::applyTextureField(const unsigned char* id, const unsigned char* body,
                                      std::uint32_t length) {
    bm::ImageBlock& image = result.looks.images.back();
    if (matchId(id, "TFLG")) {
        const std::uint32_t bits = readU2(body);
        if ((bits & axisBits) != 0)
            image.axis = (bits & 1) != 0 ? 0 : (bits & 2) != 0 ? 1 : 2;
        image.worldCoordinates = (bits & worldCoordinatesBit) != 0;
    } else if (matchId(id, "TSIZ")) {
        readVector(body, image.size);
    } else if (matchId(id, "TCTR")) {
        readVector(body, image.centre);
    } else if (matchId(id, "TIMG")) {
        image.imageFile = std::string(stringIn(body, length));
    } else if (matchId(id, "TFP0")) {
        image.widthRepeats = convertBytesToFloat(body);
    } else if (matchId(id, "TFP1")) {
        image.heightRepeats = convertBytesToFloat(body);
    } else if (matchId(id, "TWRP")) {
        image.wrapWidth = wrapMode(readU2(body), image.wrapWidth);
        image.wrapHeight = wrapMode(readU2(body + 2), image.wrapHeight);
    }
}

}  // namespace

namespace bm {

std::optional<LwobSurface> readLwobSurface(const unsigned char* data, std::size_t start,
                                           std::size_t limit, ReportWriter& out, bool withLooks) {
    const std::size_t at = start + chunkHeader;
    const std::string_view name = stringIn(data + at, limit - at);
    if (name.size() == limit - at) {
        out.problem().text("SURF chunk at offset ").number(static_cast<std::int64_t>(start));
        out.text(" ends inside its surface name; chunk passed over").endLine();
        return std::nullopt;
    }
    const std::size_t attributes = std::min(limit, at + padded(name.size() + 1));
    LwobSurface surface = SurfaceReader(data, out, withLooks).read(attributes, limit);
    surface.looks.name = std::string(name);
    return surface;
}

}  // namespace bm
