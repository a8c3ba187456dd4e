// The one failure text of an installation: any text in it means a step failed.
#pragma once
#include <string>

namespace cfg {

class MessageBuffer {
public:
    static constexpr std::size_t kCapacity = 2048;  // bytes including the terminator

    bool empty() const { return text_.empty(); }
    const std::string& text() const { return text_; }
    void set(const std::string& text) { text_ = text.substr(0, kCapacity - 1); }
    void append(const std::string& text) { set(text_ + text); }
    void clear() { text_.clear(); }

private:
    std::string text_;
};

}  // namespace cfg
