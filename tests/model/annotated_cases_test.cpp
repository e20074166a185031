// Runs the annotated model files in cases/. Beside a line, "; => 41 42 00"
// gives the bytes that line emits; all of them in file order are the whole
// expected image. A comment line "; error: TEXT" gives the next expected
// line of the error report (trailing blanks not compared), and says that the
// report belongs to the nearest line above that is no such annotation;
// "; error@COLUMN: TEXT" also gives the report's column. "; warning: TEXT"
// expects a warning for that line the same way; every warning of the file
// must be annotated. "; placed: TEXT" right after an error annotation
// gives the placed report's words where they differ from the report line.
// A line "; options: all-warnings" asks for the warnings about unused
// labels too.
#include <filesystem>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "model/model_warnings.h"
#include "test_support.h"

namespace velmora::model::testing {
namespace {

// A report at a line (and a column when one is annotated; 0 compares any).
struct PlacedReport {
    int line = 0;
    int column = 0;
    std::string text;
    bool operator==(const PlacedReport& other) const {
        return line == other.line && text == other.text &&
               (column == 0 || other.column == 0 || column == other.column);
    }
    friend std::ostream& operator<<(std::ostream& out, const PlacedReport& report) {
        return out << report.line << ":" << report.column << ": " << report.text;
    }
};

struct Expectations {
    std::vector<std::uint8_t> image;
    std::vector<std::string> errors;
    std::vector<PlacedReport> placedErrors;
    std::vector<PlacedReport> warnings;
    WarningOptions options;
};

std::string trimRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.pop_back();
    return text;
}

Expectations readExpectations(const std::string& text) {
    static const std::regex annotation(R"(^\s*; (error|warning)(@([0-9]+))?: ?(.*)$)");
    static const std::regex placedWords(R"(^\s*; placed: (.*)$)");
    Expectations expected;
    std::istringstream lines(text);
    int number = 0;
    int reportedLine = 0;  // the line the next report annotation refers to
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::smatch match;
        if (std::regex_match(line, match, placedWords)) {
            if (!expected.placedErrors.empty()) expected.placedErrors.back().text = trimRight(match[1].str());
        } else if (std::regex_match(line, match, annotation)) {
            const int column = match[3].matched ? std::stoi(match[3].str()) : 0;
            const std::string message = trimRight(match[4].str());
            if (match[1] == "error") expected.errors.push_back(message);
            // The error report shows some reports as "line N: TEXT"; the
            // placed report is the TEXT at line N.
            const std::string prefix = "line " + std::to_string(reportedLine) + ": ";
            const bool prefixed = message.starts_with(prefix);
            PlacedReport report{reportedLine, column, prefixed ? message.substr(prefix.size()) : message};
            (match[1] == "error" ? expected.placedErrors : expected.warnings).push_back(report);
        } else {
            reportedLine = number;
        }
        if (line.find("; options: all-warnings") != std::string::npos) expected.options.unusedLabels = true;
        if (const auto bytes = line.find("; =>"); bytes != std::string::npos) {
            std::istringstream hex(line.substr(bytes + 4));
            for (std::string byte; hex >> byte;) {
                expected.image.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
            }
        }
    }
    return expected;
}

std::vector<std::string> caseFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(VELMORA_MODEL_CASES_DIR)) {
        if (entry.path().extension() == ".mdl") names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class AnnotatedModel : public ::testing::TestWithParam<std::string> {};

TEST_P(AnnotatedModel, EmitsTheAnnotatedBytesAndErrors) {
    const std::string text = readFile(VELMORA_MODEL_CASES_DIR + GetParam());
    ASSERT_FALSE(text.empty()) << GetParam();
    const Expectations expected = readExpectations(text);
    const auto model = compileText(text);

    EXPECT_EQ(imageBytes(*model), expected.image) << GetParam();
    std::vector<std::string> errors;
    for (const std::string& line : errorLines(*model)) errors.push_back(trimRight(line));
    EXPECT_EQ(errors, expected.errors) << GetParam() << "\n" << model->errorText;
    EXPECT_EQ(model->errorFlag, !expected.errors.empty()) << GetParam();

    std::vector<PlacedReport> placedErrors;
    for (const SourceDiagnostic& report : model->compileTrace().diagnostics()) {
        placedErrors.push_back({report.line, report.column, report.text});
    }
    EXPECT_EQ(placedErrors, expected.placedErrors) << GetParam();
    std::vector<PlacedReport> warnings;
    for (const ModelWarning& warning : findWarnings(*model, expected.options)) {
        warnings.push_back({warning.line, 0, warning.text});
    }
    EXPECT_EQ(warnings, expected.warnings) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Cases, AnnotatedModel, ::testing::ValuesIn(caseFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(0, info.param.find('.'));
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace velmora::model::testing
