#include "tools/model_from_capabilities.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "link/mccs_features.h"

namespace velmora::tools {

namespace {

using link::FeatureGroup;
using link::FeatureKind;

constexpr int kPages = 3;  // Geometry, Color, Extra 1
constexpr int kSlotsPerPage = 0x40;
// The model image holds 2000 bytes; the rest is left for the author's
// additions.
constexpr std::size_t kImageBudget = 1800;
constexpr std::size_t kMaxModelName = 100;

// Slots (from the page's first item code) where every model has one of the
// jig's factory functions unless it puts something else there: MODE SAVE,
// STND MODE DUMP... at 18h to 1Bh and 3Bh; CHANNEL 1 to 3, COLOR SAVE...
// at 54h to 5Bh, 75h and 7Bh.
constexpr std::array<int, 5> kPage1Functions{0x18, 0x19, 0x1A, 0x1B, 0x3B};
constexpr std::array<int, 9> kPage2Functions{0x14, 0x15, 0x16, 0x18, 0x19, 0x1A, 0x1B, 0x35, 0x3B};

std::string hexNumber(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "0%02Xh", value & 0xFF);
    return text;
}

std::string hex2(int value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

// Text that a quoted db string and a directive can carry: no quotes, no
// brackets, nothing outside printable ASCII.
std::string safeText(std::string_view text, std::size_t limit) {
    std::string result;
    for (const char c : text) {
        if (result.size() >= limit) break;
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E || c == '\'' || c == '[' || c == ']' || c == ';') continue;
        result.push_back(c);
    }
    const auto last = result.find_last_not_of(' ');
    result.erase(last == std::string::npos ? 0 : last + 1);
    result.erase(0, result.find_first_not_of(' ') == std::string::npos ? result.size() : result.find_first_not_of(' '));
    return result;
}

// Codes as comment lines of at most 16 (the reader ignores a comment
// longer than 299 characters).
std::string codeLines(std::string_view indent, const std::vector<std::uint8_t>& codes, std::string_view suffix) {
    constexpr std::size_t kPerLine = 16;
    std::string text;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (i % kPerLine == 0) text += (i == 0 ? "" : "\n") + std::string(indent);
        text += " " + hex2(codes[i]) + std::string(suffix);
    }
    return text + "\n";
}

int pageOf(FeatureGroup group) {
    switch (group) {
    case FeatureGroup::Geometry: return 0;
    case FeatureGroup::Colour: return 1;
    case FeatureGroup::Other: return 2;
    }
    return 2;
}

std::string slotText(int page, int slot) {
    return "PAGE" + std::to_string(page + 1) + "+" + hexNumber(slot);
}

bool isDefaultFunctionSlot(int page, int slot) {
    const auto in = [slot](const auto& list) { return std::find(list.begin(), list.end(), slot) != list.end(); };
    return (page == 0 && in(kPage1Functions)) || (page == 1 && in(kPage2Functions));
}

struct Placed {
    link::MccsFeature feature;
    int page = 0;
    int slot = 0;  // an item's increase key; the decrease key is slot + 1
};

class Generator {
public:
    explicit Generator(const link::Capabilities& capabilities) : capabilities_(capabilities) {
        name_ = safeText(capabilities.model.value_or(""), kMaxModelName);
        // A comma would end the MODEL directive's value early.
        std::erase(name_, ',');
        if (name_.empty()) name_ = "DDC/CI monitor";
        sort();
        place();
    }

    std::string text(std::string_view source) const {
        std::string out;
        out += "; [MODEL," + name_ + "]\n";
        out += ";==========================================================================\n";
        out += "; " + name_ + " - made from the monitor's DDC/CI capabilities\n";
        out += "; (" + safeText(source, 200) + ").\n";
        out += ";\n";
        out += "; A STARTING POINT, NOT A FINISHED MODEL. It offers the standard (MCCS)\n";
        out += "; features the monitor lists, under their standard names, and nothing of\n";
        out += "; the maker's own. Check each item on the monitor, rename and regroup them,\n";
        out += "; add the factory functions and service items, and name the monitor by\n";
        out += "; its EDID (an EDID directive with the manufacturer and product code).\n";
        out += ";\n";
        out += "; Type: " + safeText(capabilities_.type.value_or("not given"), 60) +
               "   MCCS version: " + safeText(capabilities_.mccsVersion.value_or("not given"), 20) + "\n";
        out += ";==========================================================================\n";
        out += "; [PROTOCOL,DDC2Bi]\n";
        leftOutComments(out);
        out += "\n";
        out += "C_NAME      db __NAME,C_PAGE-C_NAME,'" + name_ + "',0\n";
        out += "C_PAGE      db __PAGE,C_VCP-C_PAGE," + std::to_string(pageCount()) + "\n";
        out += "C_VCP       db __VCP,C_KEY-C_VCP," + std::to_string(items_.size()) + "\n";
        for (std::size_t i = 0; i < items_.size(); i += 8) {
            out += "            db ";
            for (std::size_t j = i; j < std::min(i + 8, items_.size()); ++j) {
                out += (j == i ? "" : ",") + hexNumber(items_[j].feature.code) + ",0";
            }
            out += "\n";
        }
        out += "C_KEY       db __KEY,0\n";
        keyEntries(out);
        out += "            db 0FFh\n\n";
        commands(out);
        return out;
    }

private:
    void sort() {
        for (const link::CapabilityFeature& listed : capabilities_.features) {
            const auto feature = link::mccsFeature(listed.code);
            if (!feature) {
                makers_.push_back(listed.code);
            } else if (feature->readOnly || feature->kind == FeatureKind::Table ||
                       feature->kind == FeatureKind::NonContinuous) {
                other_.push_back(listed);
            } else {
                wanted_.push_back({*feature, pageOf(feature->group), 0});
            }
        }
    }

    // Items take two slots from the page's start, functions the page's
    // default function slots first; whatever would overflow the page or the
    // image is left out and listed.
    void place() {
        std::array<std::array<bool, kSlotsPerPage>, kPages> taken{};
        for (int page = 0; page < kPages; ++page) {
            for (int slot = 0; slot < kSlotsPerPage; ++slot) taken[page][slot] = isDefaultFunctionSlot(page, slot);
        }
        std::size_t bytes = 2 + name_.size() + 1 + 3 + 3 + 2 + 1 + 3;  // chunks, the hiding command
        for (Placed& want : wanted_) {
            const bool function = want.feature.kind == FeatureKind::WriteOnly;
            const std::size_t cost = function ? 4 + 3 + commandName(want).size() + 1
                                              : 2 + 8 + 2 + commandName(want).size() + 1 + 3;
            const auto slot = function ? functionSlot(want.page, taken) : itemSlot(want.page, taken);
            if (!slot || bytes + cost > kImageBudget) {
                dropped_.push_back(want.feature.code);
                continue;
            }
            bytes += cost;
            want.slot = *slot;
            taken[want.page][*slot] = true;
            if (!function) taken[want.page][*slot + 1] = true;
            (function ? functions_ : items_).push_back(want);
        }
        // The default function slots left are hidden.
        for (int page = 0; page < 2; ++page) {
            for (int slot = 0; slot < kSlotsPerPage; ++slot) {
                if (!isDefaultFunctionSlot(page, slot)) continue;
                const bool used = std::any_of(functions_.begin(), functions_.end(),
                                              [&](const Placed& p) { return p.page == page && p.slot == slot; });
                if (!used) hidden_.push_back({page, slot});
            }
        }
    }

    std::optional<int> itemSlot(int page, const std::array<std::array<bool, kSlotsPerPage>, kPages>& taken) const {
        for (int slot = 0; slot + 1 < kSlotsPerPage; slot += 2) {
            if (!taken[page][slot] && !taken[page][slot + 1]) return slot;
        }
        return std::nullopt;
    }

    std::optional<int> functionSlot(int page, const std::array<std::array<bool, kSlotsPerPage>, kPages>& taken) const {
        const auto usedHere = [&](int slot) {
            return std::any_of(functions_.begin(), functions_.end(),
                               [&](const Placed& p) { return p.page == page && p.slot == slot; });
        };
        for (int slot = 0; slot < kSlotsPerPage; ++slot) {
            if (isDefaultFunctionSlot(page, slot) && !usedHere(slot)) return slot;
        }
        for (int slot = kSlotsPerPage - 1; slot >= 0; --slot) {
            if (!taken[page][slot]) return slot;
        }
        return std::nullopt;
    }

    static std::string commandName(const Placed& placed) { return safeText(placed.feature.name, 60); }

    [[nodiscard]] int pageCount() const {
        int highest = 1;
        for (const auto* list : {&items_, &functions_}) {
            for (const Placed& placed : *list) highest = std::max(highest, placed.page);
        }
        return highest + 1;
    }

    static std::string label(const Placed& placed, std::string_view suffix) {
        return (placed.feature.kind == FeatureKind::WriteOnly ? "F_" : "V_") + hex2(placed.feature.code) +
               std::string(suffix);
    }

    void keyEntries(std::string& out) const {
        static constexpr std::array<std::string_view, kPages> kPageNames{"Geometry", "Color", "Extra 1"};
        for (int page = 0; page < kPages; ++page) {
            std::vector<std::string> lines;
            for (const Placed& item : items_) {
                if (item.page != page) continue;
                lines.push_back("            db " + slotText(page, item.slot) + ",1\n            dw " + label(item, "_UP") + "\n");
                lines.push_back("            db " + slotText(page, item.slot + 1) + ",1\n            dw " + label(item, "_DN") + "\n");
            }
            for (const Placed& function : functions_) {
                if (function.page != page) continue;
                lines.push_back("            db " + slotText(page, function.slot) + ",1\n            dw " + label(function, "") + "\n");
            }
            if (lines.empty()) continue;
            out += "; " + std::string(kPageNames[page]) + "\n";
            for (const std::string& line : lines) out += line;
        }
        if (hidden_.empty()) return;
        out += "; The jig's own factory functions (MODE SAVE, STND MODE DUMP, CHANNEL 1...)\n";
        out += "; that a model has by default send requests only Velmora's monitors know:\n";
        out += "; a decrease key of no item in their slots keeps them off the lists.\n";
        for (const auto& [page, slot] : hidden_) {
            out += "            db " + slotText(page, slot) + ",1\n            dw HIDDEN\n";
        }
    }

    void commands(std::string& out) const {
        for (const Placed& item : items_) {
            const std::string code = hexNumber(item.feature.code);
            out += pad(label(item, "_UP")) + "db __SETVCP_UP," + code + ",'" + commandName(item) + "',0\n";
            out += pad(label(item, "_DN")) + "db __SETVCP_DOWN," + code + ",0\n";
        }
        for (const Placed& function : functions_) {
            // A write-only feature acts on the value 1.
            out += pad(label(function, "")) + "db __SETVCP_ONLY," + hexNumber(function.feature.code) + ",1,'" +
                   commandName(function) + "',0\n";
        }
        if (!hidden_.empty()) out += pad("HIDDEN") + "db __SETVCP_DOWN,0,0\n";
        // The reader stops before the last line.
        out += "            end\n";
    }

    static std::string pad(std::string label) {
        label.resize(std::max<std::size_t>(label.size() + 1, 12), ' ');
        return label;
    }

    void leftOutComments(std::string& out) const {
        if (!other_.empty()) {
            out += ";\n; Listed by the monitor, not made into items (choices, read-only values, tables):\n";
            for (const link::CapabilityFeature& listed : other_) {
                const auto feature = link::mccsFeature(listed.code);
                out += ";   " + hex2(listed.code) + "h " + safeText(feature->name, 60) + " (" +
                       std::string(link::featureKindName(feature->kind)) + (feature->readOnly ? ", read-only" : "") +
                       ")" + (listed.values.empty() ? "\n" : ", values:\n");
                if (!listed.values.empty()) out += codeLines(";     ", listed.values, "");
            }
        }
        if (!makers_.empty()) {
            out += ";\n; The maker's own or undefined codes, without a standard meaning:\n";
            out += codeLines(";  ", makers_, "h");
        }
        if (!dropped_.empty()) {
            out += ";\n; Left out for want of room on their page or in the model image:\n";
            out += codeLines(";  ", dropped_, "h");
        }
    }

    const link::Capabilities& capabilities_;
    std::string name_;
    std::vector<Placed> wanted_;
    std::vector<Placed> items_;
    std::vector<Placed> functions_;
    std::vector<std::pair<int, int>> hidden_;
    std::vector<link::CapabilityFeature> other_;
    std::vector<std::uint8_t> makers_;
    std::vector<std::uint8_t> dropped_;
};

}  // namespace

std::string modelFromCapabilities(const link::Capabilities& capabilities, std::string_view source) {
    return Generator(capabilities).text(source);
}

}  // namespace velmora::tools
