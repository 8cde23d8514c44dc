#include "lab/trace.h"

namespace qm::lab {

void Trace::add(std::string line) {
    lines_.push_back(std::move(line));
    if (listener_) listener_(lines_.back());
}

}  // namespace qm::lab
