#include "tools/edid_text.h"

#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string_view>

namespace velmora::tools {

namespace {

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char* pattern, ...) {
    char text[256];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return text;
}

constexpr std::array<std::string_view, 4> kSignalLevels{
    "0.700/0.300 V (1.000 V p-p)", "0.714/0.286 V (1.000 V p-p)", "1.000/0.400 V (1.400 V p-p)",
    "0.700/0.000 V (0.700 V p-p)"};
constexpr std::array<std::string_view, 4> kColourTypes{"monochrome or grey scale", "RGB colour", "non-RGB colour",
                                                       "undefined colour type"};
constexpr std::array<std::string_view, 4> kDigitalEncodings{"RGB 4:4:4", "RGB 4:4:4 and YCrCb 4:4:4",
                                                            "RGB 4:4:4 and YCrCb 4:2:2",
                                                            "RGB 4:4:4, YCrCb 4:4:4 and YCrCb 4:2:2"};
constexpr std::array<std::string_view, 4> kAspects{"16:10", "4:3", "5:4", "16:9"};

// Chromaticity to four decimals, cut rather than rounded (0.33008 reads
// 0.3300), as monitor data sheets and other EDID readers print it.
double fourDecimals(double value) { return std::floor(value * 10000.0) / 10000.0; }

std::string modeText(const EdidModeRate& mode) {
    return format("%dx%d @ %d Hz%s", mode.width, mode.height, mode.refreshHz, mode.interlaced ? " interlaced" : "");
}

std::string standardText(const EdidStandardTiming& t, const DecodedEdid& e) {
    const bool square = t.aspectCode == 0 && e.version == 1 && e.revision < 3;
    return modeText(t.mode) + " (" + std::string(square ? "1:1" : kAspects[t.aspectCode]) + ")";
}

std::string onOff(bool flag, std::string_view name) { return flag ? std::string(name) : std::string(); }

std::string joined(std::initializer_list<std::string> parts, const char* none) {
    std::string text;
    for (const auto& part : parts) {
        if (part.empty()) continue;
        text += (text.empty() ? "" : ", ") + part;
    }
    return text.empty() ? none : text;
}

std::string inputText(const DecodedEdid& e) {
    if (!e.analog) {
        std::string text = "digital";
        if (e.version == 1 && e.revision >= 4) {
            const int depth = (e.videoInput >> 4) & 7;
            if (depth >= 1 && depth <= 6) text += format(", %d bits per colour", 4 + 2 * depth);
            text += format(", interface %Xh", e.videoInput & 0x0F);
        } else if (e.videoInput & 1) {
            text += ", DFP 1.x compatible";
        }
        return text;
    }
    return "analog, " + std::string(kSignalLevels[static_cast<std::size_t>(e.signalLevel)]) +
           (e.blankToBlackSetup ? ", blank-to-black setup" : ", blank level equals black level") + "\nSync: " +
           joined({onOff(e.separateSync, "separate"), onOff(e.compositeSync, "composite"),
                   onOff(e.syncOnGreen, "on green"), onOff(e.vsyncSerrations, "serrated V sync")},
                  "none given");
}

std::string sizeText(const DecodedEdid& e) {
    if (e.screenWidthCm != 0 && e.screenHeightCm != 0) return format("%d x %d cm", e.screenWidthCm, e.screenHeightCm);
    const bool withAspect = e.version == 1 && e.revision >= 4;
    if (withAspect && e.screenWidthCm != 0) return format("aspect ratio %.2f:1 (landscape)", (e.screenWidthCm + 99) / 100.0);
    if (withAspect && e.screenHeightCm != 0) {
        return format("aspect ratio %.2f:1 (portrait)", 100.0 / (e.screenHeightCm + 99));
    }
    return format("not given (%d x %d cm)", e.screenWidthCm, e.screenHeightCm);
}

std::string syncText(const EdidDetailedTiming& t) {
    switch (t.sync) {
    case EdidSyncKind::DigitalSeparate:
        return format("digital separate, H %c, V %c", t.hPositive ? '+' : '-', t.vPositive ? '+' : '-');
    case EdidSyncKind::DigitalComposite:
        return format("digital composite %c%s", t.hPositive ? '+' : '-', t.serrations ? ", serrated" : "");
    case EdidSyncKind::AnalogComposite:
    case EdidSyncKind::BipolarAnalogComposite:
        return std::string(t.sync == EdidSyncKind::BipolarAnalogComposite ? "bipolar analog composite"
                                                                          : "analog composite") +
               (t.serrations ? ", serrated" : "") + (t.syncOnRgb ? ", on all three colours" : ", on green");
    }
    return {};
}

std::string detailedText(const EdidDetailedTiming& t) {
    // An interlaced timing gives the lines of one field; the frame has twice
    // as many, and the rate is the field rate.
    std::string text = format("  %dx%d%s @ %.3f Hz, %.3f kHz, pixel clock %.2f MHz\n", t.hActive,
                              t.interlaced ? 2 * t.vActive : t.vActive,
                              t.interlaced ? "i (two fields a frame, field rate)" : "", t.vFreqHz, t.hFreqKHz,
                              t.pixelClockMHz);
    text += format("    horizontal: active %d, blank %d, front porch %d, sync %d, back porch %d\n", t.hActive,
                   t.hBlank, t.hFrontPorch, t.hSyncWidth, t.hBlank - t.hFrontPorch - t.hSyncWidth);
    text += format("    vertical:   active %d, blank %d, front porch %d, sync %d, back porch %d\n", t.vActive,
                   t.vBlank, t.vFrontPorch, t.vSyncWidth, t.vBlank - t.vFrontPorch - t.vSyncWidth);
    text += "    sync: " + syncText(t) + format("; image %d x %d mm", t.widthMm, t.heightMm);
    if (t.hBorder != 0 || t.vBorder != 0) text += format(", borders %d/%d", t.hBorder, t.vBorder);
    if (t.stereo & 0x60) text += format(", stereo mode %02Xh", t.stereo);
    return text + "\n";
}

std::string limitsText(const EdidRangeLimits& r) {
    std::string text = format("  vertical %d-%d Hz, horizontal %d-%d kHz", r.minVFreqHz, r.maxVFreqHz,
                              r.minHFreqKHz, r.maxHFreqKHz);
    text += r.maxPixelClockMHz != 0 ? format(", pixel clock up to %d MHz", r.maxPixelClockMHz)
                                    : std::string(", pixel clock not given");
    switch (r.timingSupport) {
    case 0x00: return text + ", default GTF\n";
    case 0x01: return text + ", limits only\n";
    case 0x02:
        return text + format(",\n  secondary GTF curve from %d kHz: C %.1f, M %d, K %d, J %.1f\n", r.gtfStartKHz,
                             r.gtfC, r.gtfM, r.gtfK, r.gtfJ);
    case 0x04: return text + ", CVT\n";
    default: return text + format(", timing support %02Xh\n", r.timingSupport);
    }
}

std::string trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string descriptorText(int number, const EdidDescriptor& d, const DecodedEdid& e) {
    const std::string head = format("Descriptor %d: ", number);
    switch (d.kind) {
    case EdidDescriptorKind::DetailedTiming: return head + "detailed timing\n" + detailedText(d.timing);
    case EdidDescriptorKind::FilledWithOnes: return head + "unused (filled with 01h)\n";
    case EdidDescriptorKind::ProductName: return head + "product name \"" + trimmed(d.text) + "\"\n";
    case EdidDescriptorKind::SerialText: return head + "serial number \"" + trimmed(d.text) + "\"\n";
    case EdidDescriptorKind::Text: return head + "text \"" + trimmed(d.text) + "\"\n";
    case EdidDescriptorKind::RangeLimits: return head + "range limits\n" + limitsText(d.limits);
    case EdidDescriptorKind::WhitePoints: {
        std::string text = head + "white points\n";
        for (const auto& p : d.whitePoints) {
            text += format("  white point %d: x %.4f, y %.4f, gamma ", p.index, fourDecimals(p.point.x),
                           fourDecimals(p.point.y)) +
                    (p.gamma ? format("%.2f", *p.gamma) : std::string("not given")) + "\n";
        }
        return text;
    }
    case EdidDescriptorKind::StandardTimings: {
        std::string text = head + "standard timings\n";
        for (const auto& t : d.standard) text += "  " + standardText(t, e) + "\n";
        return text;
    }
    case EdidDescriptorKind::Other: break;
    }
    if (d.tag == 0x10) return head + "dummy (tag 10h)\n";
    if (d.tag <= 0x0F) return head + format("manufacturer's data (tag %02Xh)\n", d.tag);
    return head + format("tag %02Xh, not decoded\n", d.tag);
}

}  // namespace

std::string edidExtensionName(std::uint8_t tag) {
    switch (tag) {
    case 0x02: return "CTA-861";
    case 0x10: return "video timing block";
    case 0x20: return "EDID 2.0";
    case 0x40: return "display information";
    case 0x50: return "localized strings";
    case 0x60: return "digital packet video link";
    case 0x70: return "DisplayID";
    case 0xF0: return "block map";
    case 0xFF: return "manufacturer's";
    default: return "unknown";
    }
}

std::string edidText(const DecodedEdid& e) {
    std::string text = format("EDID base block, version %d.%d\n", e.version, e.revision);
    text += e.checksumValid ? format("Checksum: valid (%02Xh)\n", e.checksumByte)
                            : format("Checksum: WRONG (%02Xh, should be %02Xh)\n", e.checksumByte,
                                     static_cast<std::uint8_t>(e.checksumByte - e.blockSum));
    text += "Manufacturer: " + e.manufacturer + "\n";
    text += format("Product code: %04Xh (%d)\n", e.productCode, e.productCode);
    text += format("Serial number: %08Xh (%u)\n", e.serialNumber, e.serialNumber);
    if (e.modelYear) text += format("Model year: %d\n", e.year);
    else if (e.week == 0) text += format("Made in: %d\n", e.year);
    else text += format("Made in: week %d of %d\n", e.week, e.year);

    text += "Input: " + inputText(e) + "\n";
    text += "Maximum image size: " + sizeText(e) + "\n";
    text += "Gamma: " + (e.gamma ? format("%.2f", *e.gamma) : std::string("not given")) + "\n";
    text += "DPMS: " + joined({onOff(e.dpmsStandby, "standby"), onOff(e.dpmsSuspend, "suspend"),
                               onOff(e.dpmsActiveOff, "active-off")},
                              "none") + "\n";
    const bool digitalEncoding = !e.analog && e.version == 1 && e.revision >= 4;
    text += std::string(digitalEncoding ? "Colour encoding: " : "Colour type: ") +
            std::string((digitalEncoding ? kDigitalEncodings : kColourTypes)[static_cast<std::size_t>(e.colourType)]) +
            (e.standardRgb ? ", sRGB default colour space" : "") + "\n";
    text += std::string("Preferred timing: ") + (e.preferredTiming ? "the first detailed timing" : "not given") + "\n";
    text += std::string("GTF: ") + (e.gtfSupported ? "supported" : "not supported") + "\n";
    text += format("Chromaticity (x, y): red %.4f, %.4f; green %.4f, %.4f;\n  blue %.4f, %.4f; white %.4f, %.4f\n",
                   fourDecimals(e.red.x), fourDecimals(e.red.y), fourDecimals(e.green.x), fourDecimals(e.green.y),
                   fourDecimals(e.blue.x), fourDecimals(e.blue.y), fourDecimals(e.white.x), fourDecimals(e.white.y));

    text += "Established timings:" + std::string(e.establishedTimings.empty() ? " none\n" : "\n");
    for (const auto& mode : e.establishedTimings) text += "  " + modeText(mode) + "\n";
    if (e.manufacturerTimings != 0) text += format("Manufacturer's timings: %02Xh\n", e.manufacturerTimings);
    text += "Standard timings:" + std::string(e.standardTimings.empty() ? " none\n" : "\n");
    for (const auto& t : e.standardTimings) text += "  " + standardText(t, e) + "\n";
    for (std::size_t i = 0; i < e.descriptors.size(); ++i) {
        text += descriptorText(static_cast<int>(i) + 1, e.descriptors[i], e);
    }

    text += "Display name: " + (e.displayName ? "\"" + *e.displayName + "\"" : std::string("not given")) + "\n";
    text += "Display serial: " + (e.displaySerial ? "\"" + *e.displaySerial + "\"" : std::string("not given")) + "\n";
    text += "Range limits: " + (e.rangeLimits ? limitsText(*e.rangeLimits).substr(2) : std::string("not given\n"));
    text += format("Extension blocks: %d\n", e.extensionCount);
    for (std::size_t i = 0; i < e.extensionTags.size(); ++i) {
        text += format("  block %zu: %s (tag %02Xh), not decoded\n", i + 1, edidExtensionName(e.extensionTags[i]).c_str(),
                       e.extensionTags[i]);
    }
    if (e.extensionTags.size() < static_cast<std::size_t>(e.extensionCount)) {
        text += format("  %zu of them not in the data\n", static_cast<std::size_t>(e.extensionCount) - e.extensionTags.size());
    }
    return text;
}

}  // namespace velmora::tools
