// A tolerant reader of DDC/CI capabilities strings. Monitors' firmware gets
// the grammar wrong in a handful of known ways; each is read the way the
// general DDC/CI tools read it, and noted where something is guessed or
// dropped, so that a technician sees what the monitor really sent.
#include "link/capabilities_parser.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace velmora::link {

namespace {

constexpr std::size_t kBinaryShare = 8;  // more than one byte in this many not text: binary

bool isTextByte(unsigned char c) { return (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\r' || c == '\n' || c == 0; }
bool isBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isHexDigit(unsigned char c) { return std::isxdigit(c) != 0; }
int hexValue(unsigned char c) { return std::isdigit(c) != 0 ? c - '0' : std::tolower(c) - 'a' + 10; }

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::string hexByte(std::uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

// Text from the string as a problem quotes it: at most 40 bytes, anything
// but printable ASCII as \xNN, so that a terminal shows it as it is.
std::string quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::string result = "\"";
    for (std::size_t i = 0; i < std::min(text.size(), kShown); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) result.push_back(static_cast<char>(c));
        else result += "\\x" + hexByte(c);
    }
    return result + (text.size() > kShown ? "\"..." : "\"");
}

// The segments whose name may be run together with the word before them.
constexpr std::array<std::string_view, 6> kKnownSegments{"mccs_ver", "model", "type", "prot", "cmds", "vcp"};

template <typename T>
bool appendOnce(std::vector<T>& list, T value) {
    if (std::find(list.begin(), list.end(), value) != list.end()) return false;
    list.push_back(value);
    return true;
}

class Reader {
public:
    explicit Reader(std::string_view raw) : raw_(raw) {
        end_ = raw_.size();
        // A terminating NUL (or several) is how many monitors end the string.
        while (end_ > 0 && raw_[end_ - 1] == '\0') --end_;
    }

    Capabilities read() {
        result_.raw = std::string(raw_);
        skipFiller();
        bool outer = false;
        if (pos_ < end_ && raw_[pos_] == '(') {
            outer = true;
            ++pos_;
        } else if (pos_ < end_) {
            note(pos_, "the string does not begin with \"(\"");
        }
        readSegments(outer);
        return std::move(result_);
    }

    [[nodiscard]] bool sawSegment() const { return sawSegment_; }

private:
    void note(std::size_t offset, std::string text) { result_.problems.push_back({offset, std::move(text)}); }

    // Blanks pass silently; a NUL or a byte that is not text is noted and
    // passed over.
    void skipFiller() {
        while (pos_ < end_) {
            const auto c = static_cast<unsigned char>(raw_[pos_]);
            if (isBlank(c)) {
                ++pos_;
            } else if (c == 0 || !isTextByte(c)) {
                note(pos_, c == 0 ? "NUL byte ignored" : "byte " + hexByte(c) + "h is not text, ignored");
                ++pos_;
            } else {
                return;
            }
        }
    }

    void readSegments(bool outer) {
        while (true) {
            skipFiller();
            if (pos_ >= end_) {
                if (outer) note(end_, "missing \")\" at the end");
                return;
            }
            const char c = raw_[pos_];
            if (c == ')') {
                if (!outer) {
                    note(pos_, "unmatched \")\" ignored");
                    ++pos_;
                    continue;
                }
                ++pos_;
                // Whatever follows is one piece of garbage, quoted whole.
                skipBlanks();
                if (pos_ < end_) {
                    note(pos_, "text after the end ignored: " + quoted(raw_.substr(pos_, end_ - pos_)));
                }
                return;
            }
            if (c == '(') {
                const std::size_t start = pos_;
                (void)groupContent();
                note(start, "a list without a name ignored");
                continue;
            }
            readWordOrSegment();
        }
    }

    // A name and what follows it: a segment when "(" comes next, otherwise
    // a bare word (a model written without parentheses or keyword).
    void readWordOrSegment() {
        const std::size_t start = pos_;
        while (pos_ < end_) {
            const auto c = static_cast<unsigned char>(raw_[pos_]);
            if (isBlank(c) || c == '(' || c == ')' || c == 0 || !isTextByte(c)) break;
            ++pos_;
        }
        std::string_view word = raw_.substr(start, pos_ - start);
        std::size_t afterWord = pos_;
        skipBlanks();
        if (pos_ < end_ && raw_[pos_] == '(') {
            // "VM1995cmds(": the model run together with the next segment's name.
            const std::string name = lowered(word);
            for (const std::string_view known : kKnownSegments) {
                if (name.size() > known.size() && name.ends_with(known) && !name.ends_with("_" + std::string(known))) {
                    bareWord(start, word.substr(0, word.size() - known.size()));
                    word = word.substr(word.size() - known.size());
                    break;
                }
            }
            const std::size_t contentStart = pos_ + 1;
            segment(lowered(word), groupContent(), contentStart);
            return;
        }
        pos_ = afterWord;
        bareWord(start, word);
    }

    void bareWord(std::size_t offset, std::string_view word) {
        const std::string name = lowered(word);
        if (name == "model") {
            // "model VM1995": the value is the next word.
            skipBlanks();
            const std::size_t valueStart = pos_;
            while (pos_ < end_ && !isBlank(static_cast<unsigned char>(raw_[pos_])) && raw_[pos_] != '(' &&
                   raw_[pos_] != ')' && raw_[pos_] != 0) {
                ++pos_;
            }
            if (pos_ == valueStart) {
                note(offset, "\"model\" without a value");
                return;
            }
            setModel(offset, raw_.substr(valueStart, pos_ - valueStart), "model without parentheses");
            return;
        }
        for (const std::string_view separator : {"model:", "model="}) {
            if (name.starts_with(separator) && name.size() > separator.size()) {
                setModel(offset, word.substr(separator.size()), "model without parentheses");
                return;
            }
        }
        if (!result_.model) {
            setModel(offset, word, quoted(word) + " taken as the model (no model keyword)", false);
            return;
        }
        note(offset, quoted(word) + " ignored");
    }

    // A bare word alone does not make a capabilities string; "model" does.
    void setModel(std::size_t offset, std::string_view value, const std::string& problem, bool keyword = true) {
        sawSegment_ = sawSegment_ || keyword;
        note(offset, problem);
        if (result_.model) note(offset, "a second model ignored");
        else result_.model = std::string(value);
    }

    void skipBlanks() {
        while (pos_ < end_ && isBlank(static_cast<unsigned char>(raw_[pos_]))) ++pos_;
    }

    // At "(": the text up to its matching ")", nested groups included; the
    // position ends after that ")". An unclosed group runs to the end.
    std::string_view groupContent() {
        const std::size_t open = pos_;
        int depth = 0;
        for (; pos_ < end_; ++pos_) {
            if (raw_[pos_] == '(') ++depth;
            if (raw_[pos_] == ')' && --depth == 0) {
                ++pos_;
                return raw_.substr(open + 1, pos_ - open - 2);
            }
        }
        note(open, "\"(\" is not closed");
        return raw_.substr(open + 1, end_ - open - 1);
    }

    static std::string trimmed(std::string_view text) {
        const auto first = text.find_first_not_of(" \t\r\n");
        if (first == std::string_view::npos) return {};
        const auto last = text.find_last_not_of(" \t\r\n");
        return std::string(text.substr(first, last - first + 1));
    }

    void segment(const std::string& name, std::string_view content, std::size_t contentOffset) {
        if (name == "vcp") {
            sawSegment_ = true;
            featureList(content, contentOffset);
        } else if (name == "cmds") {
            sawSegment_ = true;
            std::vector<std::uint8_t> codes;
            hexList(content, contentOffset, codes, "cmds");
            for (const std::uint8_t code : codes) appendOnce(result_.commands, code);
        } else if (name == "type") {
            sawSegment_ = true;
            result_.type = trimmed(content);
        } else if (name == "model") {
            sawSegment_ = true;
            if (result_.model) note(contentOffset, "a second model ignored");
            else result_.model = trimmed(content);
        } else if (name == "mccs_ver") {
            sawSegment_ = true;
            result_.mccsVersion = trimmed(content);
        } else if (name == "prot") {
            sawSegment_ = true;
        }
        // Page segments (vcp_p02, cmds_c2) and the makers' own segments
        // (mswhql, asset_eep, mpu, window...) hold nothing read here.
    }

    // Hex codes, two digits each, blanks optional; nested groups are read as
    // part of the list.
    void hexList(std::string_view content, std::size_t offset, std::vector<std::uint8_t>& codes,
                 std::string_view where) {
        for (std::size_t i = 0; i < content.size();) {
            const auto c = static_cast<unsigned char>(content[i]);
            if (isHexDigit(c)) {
                i = hexRun(content, offset, i, codes);
            } else {
                fillerInList(c, offset + i, where);
                ++i;
            }
        }
    }

    // A run of hex digits from `i`: its codes appended; returns the end.
    std::size_t hexRun(std::string_view content, std::size_t offset, std::size_t i, std::vector<std::uint8_t>& codes) {
        std::size_t j = i;
        while (j < content.size() && isHexDigit(static_cast<unsigned char>(content[j]))) ++j;
        const std::size_t digits = j - i;
        if (digits == 1) {
            note(offset + i, "single hex digit taken as 0" + std::string(1, static_cast<char>(std::toupper(content[i]))));
            codes.push_back(static_cast<std::uint8_t>(hexValue(static_cast<unsigned char>(content[i]))));
        } else if (digits % 2 != 0) {
            note(offset + i, "odd number of hex digits " + quoted(content.substr(i, digits)) + " ignored");
        } else {
            for (std::size_t k = i; k < j; k += 2) {
                codes.push_back(static_cast<std::uint8_t>(hexValue(static_cast<unsigned char>(content[k])) * 16 +
                                                          hexValue(static_cast<unsigned char>(content[k + 1]))));
            }
        }
        return j;
    }

    void fillerInList(unsigned char c, std::size_t offset, std::string_view where) {
        if (isBlank(c) || c == '(' || c == ')') return;
        if (c == 0) note(offset, "NUL byte ignored");
        else if (!isTextByte(c)) note(offset, "byte " + hexByte(c) + "h is not text, ignored");
        else note(offset, "\"" + std::string(1, static_cast<char>(c)) + "\" in " + std::string(where) + " ignored");
    }

    // Codes, each optionally followed by "(values)"; nested value groups
    // belong to the feature before them.
    void featureList(std::string_view content, std::size_t offset) {
        CapabilityFeature* last = nullptr;
        for (std::size_t i = 0; i < content.size();) {
            const auto c = static_cast<unsigned char>(content[i]);
            if (c == '(') {
                const std::size_t close = matchingClose(content, i);
                std::vector<std::uint8_t> values;
                hexList(content.substr(i + 1, close - i - 1), offset + i + 1, values, "vcp");
                if (last == nullptr) note(offset + i, "values without a feature code ignored");
                else for (const std::uint8_t value : values) appendOnce(last->values, value);
                i = std::min(close + 1, content.size());
            } else if (isHexDigit(c)) {
                std::vector<std::uint8_t> codes;
                const std::size_t start = i;
                i = hexRun(content, offset, i, codes);
                for (const std::uint8_t code : codes) last = addFeature(code, offset + start);
            } else {
                fillerInList(c, offset + i, "vcp");
                ++i;
            }
        }
    }

    static std::size_t matchingClose(std::string_view content, std::size_t open) {
        int depth = 0;
        for (std::size_t i = open; i < content.size(); ++i) {
            if (content[i] == '(') ++depth;
            if (content[i] == ')' && --depth == 0) return i;
        }
        return content.size();
    }

    CapabilityFeature* addFeature(std::uint8_t code, std::size_t offset) {
        for (CapabilityFeature& feature : result_.features) {
            if (feature.code == code) {
                note(offset, "feature " + hexByte(code) + " listed again");
                return &feature;
            }
        }
        result_.features.push_back({code, {}});
        return &result_.features.back();
    }

    std::string_view raw_;
    std::size_t end_ = 0;
    std::size_t pos_ = 0;
    bool sawSegment_ = false;
    Capabilities result_;
};

}  // namespace

CapabilitiesReading parseCapabilities(std::string_view raw) {
    const auto notText = static_cast<std::size_t>(
        std::count_if(raw.begin(), raw.end(), [](char c) { return !isTextByte(static_cast<unsigned char>(c)); }));
    if (notText * kBinaryShare > raw.size()) {
        return {std::nullopt, "binary data, not a capabilities string (" + std::to_string(notText) + " of " +
                                  std::to_string(raw.size()) + " bytes are not text)"};
    }
    if (raw.find_first_not_of(std::string_view(" \t\r\n\0", 5)) == std::string_view::npos) {
        return {std::nullopt, "the capabilities string is empty"};
    }
    Reader reader(raw);
    Capabilities capabilities = reader.read();
    if (!reader.sawSegment()) {
        return {std::nullopt, "not a capabilities string: no vcp, cmds, model, type or prot segment in it"};
    }
    return {std::move(capabilities), {}};
}

std::string problemText(const CapabilityProblem& problem) {
    return "offset " + std::to_string(problem.offset) + ": " + problem.text;
}

}  // namespace velmora::link
