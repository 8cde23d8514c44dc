#pragma once
// How a host hears the band's decisions: the band asks its site's service
// provider once, when it is sited, for this service. A browser that does not
// offer it (every real one) costs the band that one call; the lab offers it
// and writes each note into its trace. Both sides are built from this tree,
// so a note crosses as the C++ structure it is.

#include <objbase.h>

#include "guard/decision_note.h"

namespace qm {

// {1656EBA1-5767-478E-902F-0A4B9007535A}
inline constexpr GUID SID_QuellmarkDecisions = {
    0x1656EBA1, 0x5767, 0x478E, {0x90, 0x2F, 0x0A, 0x4B, 0x90, 0x07, 0x53, 0x5A}};
// {8FEF8332-14A3-4C20-9EC6-C55EF6B4D515}
inline constexpr IID IID_IDecisionListener = {
    0x8FEF8332, 0x14A3, 0x4C20, {0x9E, 0xC6, 0xC5, 0x5E, 0xF6, 0xB4, 0xD5, 0x15}};

struct IDecisionListener : public IUnknown {
    // The note and its texts are valid during the call only.
    virtual HRESULT STDMETHODCALLTYPE Decided(const DecisionNote* note) = 0;
};

}  // namespace qm
