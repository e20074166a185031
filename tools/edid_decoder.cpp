#include "tools/edid_decoder.h"

#include <algorithm>

namespace velmora::tools {

namespace {

constexpr std::array<std::uint8_t, 8> kHeader{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr std::size_t kDescriptorBytes = 18;
constexpr std::size_t kFirstDescriptor = 54;
constexpr std::size_t kTextBytes = 13;
constexpr int kMaxExtensionBlocks = 255;

// Bytes 35, 36 and the top bit of 37, most significant bit first.
constexpr std::array<EdidModeRate, 17> kEstablishedTimings{{
    {720, 400, 70, false},  {720, 400, 88, false},  {640, 480, 60, false},  {640, 480, 67, false},
    {640, 480, 72, false},  {640, 480, 75, false},  {800, 600, 56, false},  {800, 600, 60, false},
    {800, 600, 72, false},  {800, 600, 75, false},  {832, 624, 75, false},  {1024, 768, 87, true},
    {1024, 768, 60, false}, {1024, 768, 70, false}, {1024, 768, 75, false}, {1280, 1024, 75, false},
    {1152, 870, 75, false},
}};

using Block = std::span<const std::uint8_t, kEdidBlockBytes>;
using Descriptor = std::span<const std::uint8_t, kDescriptorBytes>;

std::string manufacturerLetters(std::uint8_t high, std::uint8_t low) {
    const unsigned code = static_cast<unsigned>(high) << 8 | low;
    std::string letters;
    for (int shift : {10, 5, 0}) {
        const unsigned letter = (code >> shift) & 0x1F;
        letters += letter >= 1 && letter <= 26 ? static_cast<char>('A' + letter - 1) : '?';
    }
    return letters;
}

// A 10-bit chromaticity coordinate: eight high bits and two low bits.
double coordinate(std::uint8_t high, std::uint8_t lowPair) { return ((high << 2) | (lowPair & 3)) / 1024.0; }

// The characters of a text descriptor up to the first line feed or zero
// byte. Bytes outside printable ASCII read as '?', so that every reading
// (text, JSON) shows the same characters.
std::string descriptorText(Descriptor d) {
    std::string text;
    for (std::size_t i = 5; i < 5 + kTextBytes; ++i) {
        const std::uint8_t c = d[i];
        if (c == 0x0A || c == 0x00) break;
        text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    return text;
}

std::string withoutTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

EdidDetailedTiming detailedTiming(Descriptor d) {
    EdidDetailedTiming t;
    t.pixelClockMHz = (d[0] | d[1] << 8) / 100.0;
    t.hActive = d[2] | (d[4] & 0xF0) << 4;
    t.hBlank = d[3] | (d[4] & 0x0F) << 8;
    t.vActive = d[5] | (d[7] & 0xF0) << 4;
    t.vBlank = d[6] | (d[7] & 0x0F) << 8;
    t.hFrontPorch = d[8] | (d[11] & 0xC0) << 2;
    t.hSyncWidth = d[9] | (d[11] & 0x30) << 4;
    t.vFrontPorch = (d[10] >> 4) | (d[11] & 0x0C) << 2;
    t.vSyncWidth = (d[10] & 0x0F) | (d[11] & 0x03) << 4;
    t.widthMm = d[12] | (d[14] & 0xF0) << 4;
    t.heightMm = d[13] | (d[14] & 0x0F) << 8;
    t.hBorder = d[15];
    t.vBorder = d[16];
    const std::uint8_t flags = d[17];
    t.interlaced = (flags & 0x80) != 0;
    t.stereo = static_cast<std::uint8_t>(flags & 0x61);
    t.sync = static_cast<EdidSyncKind>((flags >> 3) & 3);
    t.serrations = (flags & 0x04) != 0;
    if (t.sync == EdidSyncKind::DigitalSeparate) {
        t.vPositive = (flags & 0x04) != 0;
        t.serrations = false;
    }
    t.hPositive = (flags & 0x02) != 0;
    t.syncOnRgb = (flags & 0x02) != 0;
    const int hTotal = t.hActive + t.hBlank;
    // Each field of an interlaced frame has half a line more than its
    // active and blanking lines.
    const double vTotal = t.vActive + t.vBlank + (t.interlaced ? 0.5 : 0.0);
    if (hTotal > 0) t.hFreqKHz = t.pixelClockMHz * 1000.0 / hTotal;
    if (vTotal > 0) t.vFreqHz = t.hFreqKHz * 1000.0 / vTotal;
    return t;
}

EdidRangeLimits rangeLimits(Descriptor d, bool withOffsets) {
    EdidRangeLimits r;
    // From version 1.4 bits of byte 4 add 255 to the rate limits.
    const std::uint8_t offsets = withOffsets ? d[4] : 0;
    const int vMaxOffset = (offsets & 0x02) ? 255 : 0;
    const int vMinOffset = (offsets & 0x03) == 0x03 ? 255 : 0;
    const int hMaxOffset = (offsets & 0x08) ? 255 : 0;
    const int hMinOffset = (offsets & 0x0C) == 0x0C ? 255 : 0;
    r.minVFreqHz = d[5] + vMinOffset;
    r.maxVFreqHz = d[6] + vMaxOffset;
    r.minHFreqKHz = d[7] + hMinOffset;
    r.maxHFreqKHz = d[8] + hMaxOffset;
    r.maxPixelClockMHz = d[9] == 0xFF ? 0 : d[9] * 10;
    r.timingSupport = d[10];
    if (r.timingSupport == 0x02) {
        r.gtfStartKHz = d[12] * 2;
        r.gtfC = d[13] / 2.0;
        r.gtfM = d[14] | d[15] << 8;
        r.gtfK = d[16];
        r.gtfJ = d[17] / 2.0;
    }
    return r;
}

std::vector<EdidWhitePoint> whitePoints(Descriptor d) {
    std::vector<EdidWhitePoint> points;
    for (std::size_t at : {std::size_t{5}, std::size_t{10}}) {
        if (d[at] == 0) continue;  // index 0: entry unused
        EdidWhitePoint p;
        p.index = d[at];
        p.point = {coordinate(d[at + 2], d[at + 1] >> 2), coordinate(d[at + 3], d[at + 1])};
        if (d[at + 4] != 0xFF) p.gamma = (d[at + 4] + 100) / 100.0;
        points.push_back(p);
    }
    return points;
}

EdidDescriptor descriptor(Descriptor d, const DecodedEdid& edid) {
    EdidDescriptor result;
    if (std::all_of(d.begin(), d.end(), [](std::uint8_t b) { return b == 0x01; })) {
        result.kind = EdidDescriptorKind::FilledWithOnes;
        return result;
    }
    if (d[0] != 0 || d[1] != 0) {
        result.kind = EdidDescriptorKind::DetailedTiming;
        result.timing = detailedTiming(d);
        return result;
    }
    result.tag = d[3];
    switch (result.tag) {
    case 0xFC: result.kind = EdidDescriptorKind::ProductName; break;
    case 0xFF: result.kind = EdidDescriptorKind::SerialText; break;
    case 0xFE: result.kind = EdidDescriptorKind::Text; break;
    case 0xFD:
        result.kind = EdidDescriptorKind::RangeLimits;
        result.limits = rangeLimits(d, edid.version == 1 && edid.revision >= 4);
        break;
    case 0xFB:
        result.kind = EdidDescriptorKind::WhitePoints;
        result.whitePoints = whitePoints(d);
        break;
    case 0xFA:
        result.kind = EdidDescriptorKind::StandardTimings;
        for (std::size_t at = 5; at + 1 < kDescriptorBytes - 1; at += 2) {
            if (auto entry = decodeStandardTiming(d[at], d[at + 1], edid.version, edid.revision)) {
                result.standard.push_back(*entry);
            }
        }
        break;
    default: result.kind = EdidDescriptorKind::Other; break;
    }
    if (result.kind == EdidDescriptorKind::ProductName || result.kind == EdidDescriptorKind::SerialText ||
        result.kind == EdidDescriptorKind::Text) {
        result.text = descriptorText(d);
    }
    return result;
}

// Pieces of a split name or serial are joined as they stand; the blanks
// that pad the last one are removed from the whole.
std::optional<std::string> joinedText(const DecodedEdid& edid, EdidDescriptorKind kind) {
    std::optional<std::string> joined;
    for (const auto& d : edid.descriptors) {
        if (d.kind != kind) continue;
        joined = joined.value_or("") + d.text;
    }
    if (joined) joined = withoutTrailingBlanks(*joined);
    return joined;
}

void decodeBasicParameters(Block b, DecodedEdid& e) {
    e.videoInput = b[20];
    e.analog = (b[20] & 0x80) == 0;
    if (e.analog) {
        e.signalLevel = (b[20] >> 5) & 3;
        e.blankToBlackSetup = (b[20] & 0x10) != 0;
        e.separateSync = (b[20] & 0x08) != 0;
        e.compositeSync = (b[20] & 0x04) != 0;
        e.syncOnGreen = (b[20] & 0x02) != 0;
        e.vsyncSerrations = (b[20] & 0x01) != 0;
    }
    e.screenWidthCm = b[21];
    e.screenHeightCm = b[22];
    if (b[23] != 0xFF) e.gamma = (b[23] + 100) / 100.0;
    e.dpmsStandby = (b[24] & 0x80) != 0;
    e.dpmsSuspend = (b[24] & 0x40) != 0;
    e.dpmsActiveOff = (b[24] & 0x20) != 0;
    e.colourType = (b[24] >> 3) & 3;
    e.standardRgb = (b[24] & 0x04) != 0;
    e.preferredTiming = (b[24] & 0x02) != 0;
    e.gtfSupported = (b[24] & 0x01) != 0;

    e.red = {coordinate(b[27], b[25] >> 6), coordinate(b[28], b[25] >> 4)};
    e.green = {coordinate(b[29], b[25] >> 2), coordinate(b[30], b[25])};
    e.blue = {coordinate(b[31], b[26] >> 6), coordinate(b[32], b[26] >> 4)};
    e.white = {coordinate(b[33], b[26] >> 2), coordinate(b[34], b[26])};
}

void decodeTimings(Block b, DecodedEdid& e) {
    const unsigned bits = static_cast<unsigned>(b[35]) << 16 | static_cast<unsigned>(b[36]) << 8 | b[37];
    for (std::size_t i = 0; i < kEstablishedTimings.size(); ++i) {
        if (bits & (1u << (23 - i))) e.establishedTimings.push_back(kEstablishedTimings[i]);
    }
    e.manufacturerTimings = static_cast<std::uint8_t>(b[37] & 0x7F);
    for (std::size_t at = 38; at < 54; at += 2) {
        if (auto entry = decodeStandardTiming(b[at], b[at + 1], e.version, e.revision)) {
            e.standardTimings.push_back(*entry);
        }
    }
}

}  // namespace

std::optional<EdidStandardTiming> decodeStandardTiming(std::uint8_t first, std::uint8_t second, int version,
                                                       int revision) {
    if (first == 0x00 || first == 0x01) return std::nullopt;
    EdidStandardTiming t;
    t.aspectCode = static_cast<std::uint8_t>(second >> 6);
    t.mode.width = (first + 31) * 8;
    t.mode.refreshHz = (second & 0x3F) + 60;
    const bool sixteenTen = version > 1 || (version == 1 && revision >= 3);
    switch (t.aspectCode) {
    case 0: t.mode.height = sixteenTen ? t.mode.width * 10 / 16 : t.mode.width; break;
    case 1: t.mode.height = t.mode.width * 3 / 4; break;
    case 2: t.mode.height = t.mode.width * 4 / 5; break;
    default: t.mode.height = t.mode.width * 9 / 16; break;
    }
    return t;
}

EdidDecoding decodeEdid(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kEdidBlockBytes) {
        return {std::nullopt, "an EDID base block has 128 bytes, these are only " + std::to_string(bytes.size())};
    }
    const Block b = bytes.first<kEdidBlockBytes>();
    if (!std::equal(kHeader.begin(), kHeader.end(), b.begin())) {
        return {std::nullopt, "no EDID header (00 FF FF FF FF FF FF 00) at the start"};
    }
    DecodedEdid e;
    e.headerValid = true;
    unsigned sum = 0;
    for (std::uint8_t byte : b) sum += byte;
    e.blockSum = static_cast<std::uint8_t>(sum);
    e.checksumByte = b[127];
    e.checksumValid = e.blockSum == 0;

    e.manufacturer = manufacturerLetters(b[8], b[9]);
    e.productCode = b[10] | b[11] << 8;
    e.serialNumber = static_cast<std::uint32_t>(b[12]) | static_cast<std::uint32_t>(b[13]) << 8 |
                     static_cast<std::uint32_t>(b[14]) << 16 | static_cast<std::uint32_t>(b[15]) << 24;
    e.week = b[16];
    e.modelYear = b[16] == 0xFF;
    e.year = 1990 + b[17];
    e.version = b[18];
    e.revision = b[19];

    decodeBasicParameters(b, e);
    decodeTimings(b, e);
    for (std::size_t i = 0; i < e.descriptors.size(); ++i) {
        const std::size_t at = kFirstDescriptor + i * kDescriptorBytes;
        e.descriptors[i] = descriptor(Descriptor(b.subspan(at, kDescriptorBytes)), e);
    }
    e.displayName = joinedText(e, EdidDescriptorKind::ProductName);
    e.displaySerial = joinedText(e, EdidDescriptorKind::SerialText);
    for (const auto& d : e.descriptors) {
        if (d.kind == EdidDescriptorKind::Text) e.texts.push_back(withoutTrailingBlanks(d.text));
        if (d.kind == EdidDescriptorKind::RangeLimits && !e.rangeLimits) e.rangeLimits = d.limits;
    }

    e.extensionCount = b[126];
    for (int block = 1; block <= std::min(e.extensionCount, kMaxExtensionBlocks); ++block) {
        const std::size_t at = static_cast<std::size_t>(block) * kEdidBlockBytes;
        if (at + kEdidBlockBytes > bytes.size()) break;
        e.extensionTags.push_back(bytes[at]);
    }
    return {std::move(e), {}};
}

}  // namespace velmora::tools
