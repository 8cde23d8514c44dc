#pragma once
// The lab's record of everything observable, one line per event, in the
// order it happened. A listener sees each line as it is added.

#include <functional>
#include <string>
#include <vector>

namespace qm::lab {

class Trace {
public:
    using Listener = std::function<void(const std::string&)>;

    void add(std::string line);
    const std::vector<std::string>& lines() const { return lines_; }
    // A long run lets go of the lines it has looked at.
    void clear() { std::vector<std::string>().swap(lines_); }
    void setListener(Listener listener) { listener_ = std::move(listener); }

private:
    std::vector<std::string> lines_;
    Listener listener_;
};

}  // namespace qm::lab
