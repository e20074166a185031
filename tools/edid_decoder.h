#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmora::tools {

// What a monitor says about itself in its EDID base block (versions 1.0 to
// 1.4), field by field, as plain values. The text and JSON renderings are
// made from this; nothing here formats for a reader.

inline constexpr std::size_t kEdidBlockBytes = 128;
// Descriptors hold at most 13 characters; a name may be split over all four.
inline constexpr std::size_t kEdidTextCapacity = 4 * 13;

struct EdidModeRate {
    int width = 0;
    int height = 0;
    int refreshHz = 0;
    bool interlaced = false;  // 1024x768 at 87 Hz interlaced (established)
};

struct EdidStandardTiming {
    EdidModeRate mode;
    std::uint8_t aspectCode = 0;  // bits 7-6 of the second byte
};

struct EdidChromaticity {
    double x = 0;
    double y = 0;
};

enum class EdidSyncKind : std::uint8_t { AnalogComposite, BipolarAnalogComposite, DigitalComposite, DigitalSeparate };

struct EdidDetailedTiming {
    double pixelClockMHz = 0;
    int hActive = 0, hBlank = 0, vActive = 0, vBlank = 0;
    int hFrontPorch = 0, hSyncWidth = 0, vFrontPorch = 0, vSyncWidth = 0;
    int widthMm = 0, heightMm = 0;
    int hBorder = 0, vBorder = 0;
    bool interlaced = false;
    std::uint8_t stereo = 0;  // bits 6-5 and 0 of the flags byte
    EdidSyncKind sync = EdidSyncKind::AnalogComposite;
    // Digital separate: the pulse polarities. Digital composite: hPositive
    // is the composite polarity. Analog: serrations and sync on all three
    // colour lines (otherwise on green only).
    bool hPositive = false, vPositive = false;
    bool serrations = false, syncOnRgb = false;
    double hFreqKHz = 0;  // line rate
    double vFreqHz = 0;   // field rate (for interlaced timings, two fields a frame)
};

struct EdidRangeLimits {
    int minVFreqHz = 0, maxVFreqHz = 0;
    int minHFreqKHz = 0, maxHFreqKHz = 0;
    int maxPixelClockMHz = 0;  // 0: not given
    std::uint8_t timingSupport = 0;  // 00h default GTF, 01h limits only, 02h secondary GTF, 04h CVT
    // The secondary GTF curve (timingSupport 02h).
    int gtfStartKHz = 0;
    double gtfC = 0, gtfJ = 0;
    int gtfM = 0, gtfK = 0;
};

struct EdidWhitePoint {
    std::uint8_t index = 0;
    EdidChromaticity point;
    std::optional<double> gamma;
};

enum class EdidDescriptorKind : std::uint8_t {
    DetailedTiming,
    FilledWithOnes,  // all 18 bytes 01h: unused
    ProductName,     // FCh
    SerialText,      // FFh
    Text,            // FEh
    RangeLimits,     // FDh
    WhitePoints,     // FBh
    StandardTimings, // FAh
    Other,           // any other tag, named by number
};

struct EdidDescriptor {
    EdidDescriptorKind kind = EdidDescriptorKind::Other;
    std::uint8_t tag = 0;
    EdidDetailedTiming timing;                 // DetailedTiming
    std::string text;                          // name, serial and text descriptors
    EdidRangeLimits limits;                    // RangeLimits
    std::vector<EdidWhitePoint> whitePoints;   // WhitePoints (up to two)
    std::vector<EdidStandardTiming> standard;  // StandardTimings (up to six)
};

struct DecodedEdid {
    bool headerValid = false;
    bool checksumValid = false;
    std::uint8_t checksumByte = 0;
    std::uint8_t blockSum = 0;  // sum of all 128 bytes modulo 256; 0 when valid
    int version = 0, revision = 0;
    std::string manufacturer;  // three letters, '?' for a code outside A..Z
    int productCode = 0;
    std::uint32_t serialNumber = 0;
    int week = 0;  // 0 not given, FFh: the year is a model year
    int year = 0;
    bool modelYear = false;

    bool analog = true;
    std::uint8_t videoInput = 0;  // the raw input byte
    int signalLevel = 0;          // analog: bits 6-5
    bool blankToBlackSetup = false, separateSync = false, compositeSync = false, syncOnGreen = false,
         vsyncSerrations = false;
    int screenWidthCm = 0, screenHeightCm = 0;  // either 0: aspect ratio or undefined (1.4)
    std::optional<double> gamma;
    bool dpmsStandby = false, dpmsSuspend = false, dpmsActiveOff = false;
    int colourType = 0;  // bits 4-3 of the features byte
    bool standardRgb = false, preferredTiming = false, gtfSupported = false;

    EdidChromaticity red, green, blue, white;

    std::vector<EdidModeRate> establishedTimings;  // in bit order of bytes 35-37
    std::uint8_t manufacturerTimings = 0;          // bits 6-0 of byte 37
    std::vector<EdidStandardTiming> standardTimings;
    std::array<EdidDescriptor, 4> descriptors;

    std::optional<std::string> displayName;    // name descriptors joined in order
    std::optional<std::string> displaySerial;  // serial text descriptors joined in order
    std::vector<std::string> texts;            // one per text descriptor
    std::optional<EdidRangeLimits> rangeLimits;  // the first range limits descriptor

    int extensionCount = 0;
    std::vector<std::uint8_t> extensionTags;  // of the extension blocks present in the input
};

// The result of decoding: a block, or why the bytes are no EDID.
struct EdidDecoding {
    std::optional<DecodedEdid> edid;
    std::string refusal;
};

// Decodes the base block at the start of `bytes`; the blocks that follow
// it, up to the block's extension count, are listed by tag. Fewer than 128
// bytes or a missing header is refused; a wrong checksum is decoded and
// flagged.
[[nodiscard]] EdidDecoding decodeEdid(std::span<const std::uint8_t> bytes);

// One standard timing entry (two bytes); nothing for an unused entry (first
// byte 00h or 01h). Before version 1.3 aspect code 0 means 1:1, then 16:10.
std::optional<EdidStandardTiming> decodeStandardTiming(std::uint8_t first, std::uint8_t second, int version,
                                                       int revision);

}  // namespace velmora::tools
