#pragma once
// The system's ANSI code page: which bytes begin a double-byte character and
// how byte strings and wide strings convert into each other.

#include <string>
#include <string_view>

namespace qm {

class CodePage {
public:
    virtual ~CodePage() = default;
    virtual bool isLeadByte(unsigned char byte) const = 0;
    virtual std::wstring toWide(std::string_view text) const = 0;
    virtual std::string toAnsi(std::wstring_view text) const = 0;
};

// The code page every text helper uses: the one the program put in place
// (its platform's, see common/platform.h), unless a ScopedCodePage has put
// another one in its place.
const CodePage& systemCodePage();

// Puts the program's code page in place for the rest of its run.
void useCodePage(const CodePage& codePage);

// Puts a code page in place of the program's for its lifetime (tests).
class ScopedCodePage {
public:
    explicit ScopedCodePage(const CodePage& codePage);
    ~ScopedCodePage();
    ScopedCodePage(const ScopedCodePage&) = delete;
    ScopedCodePage& operator=(const ScopedCodePage&) = delete;

private:
    const CodePage* previous_;
};

// Bytes 0x00-0xFF are the characters U+0000-U+00FF; no double-byte characters.
class Latin1CodePage : public CodePage {
public:
    bool isLeadByte(unsigned char) const override { return false; }
    std::wstring toWide(std::string_view text) const override;
    std::string toAnsi(std::wstring_view text) const override;
};

}  // namespace qm
