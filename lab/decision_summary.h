#pragma once
// What the band did with each new window of a run and why, in words, told
// from the trace alone: the lab's lines say which windows were asked for,
// the band's own decision lines say what it did and on what grounds. The
// text fits a terminal of the given width.

#include <cstddef>
#include <string>
#include <vector>

namespace qm::lab {

std::vector<std::string> SummarizeDecisions(const std::vector<std::string>& trace,
                                            std::size_t width = 80);

}  // namespace qm::lab
