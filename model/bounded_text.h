#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace velmora::model {

// A zero-terminated text field of fixed capacity, as the model's tables keep
// their names: it never holds more than N characters.
template <std::size_t N>
class BoundedText {
public:
    // Stores at most N characters; returns false when the text had to be cut.
    bool assign(std::string_view text) {
        length_ = std::min(text.size(), N);
        std::copy_n(text.data(), length_, chars_.data());
        chars_[length_] = '\0';
        return text.size() <= N;
    }
    std::string_view view() const { return {chars_.data(), length_}; }
    static constexpr std::size_t capacity() { return N; }

private:
    std::array<char, N + 1> chars_{};
    std::size_t length_ = 0;
};

}  // namespace velmora::model
