#pragma once
// The small script language the lab's pages understand: what a page, the
// band's execScript calls and javascript: addresses can say. Statements are
// separated by semicolons:
//   window.open('url', 'name', 'features')    (or open(...); arguments optional)
//   document.title = 'text'
//   document.body.onunload = ""               (also onbeforeunload; window.onunload,
//   window.onbeforeunload = "script"           window.onbeforeunload; "" or null clears)
//   setTimeout('script', 1000)                (or setTimeout(name, 1000))
//   location.href = 'url'                     (or location = 'url')
//   name()                                    a function the page declares

#include <string>
#include <string_view>
#include <vector>

#include "lab/scenario.h"

namespace qm::lab {

struct Statement {
    enum class Kind { Open, SetTitle, SetHandler, SetTimeout, Navigate, Call, NotUnderstood };
    Kind kind = Kind::NotUnderstood;
    std::string text;  // the statement as written, without blanks around it
    // Open: address, name, features. SetTitle, Navigate: the text.
    // SetTimeout: the script. Call: the function name.
    std::vector<std::string> args;
    int milliseconds = 0;                       // SetTimeout
    HandlerOwner owner = HandlerOwner::Window;  // SetHandler
    std::string event;                          // SetHandler: "onunload" or "onbeforeunload"
    bool clears = false;                        // SetHandler with "" or null
};

std::vector<Statement> ParsePageScript(std::string_view code);

}  // namespace qm::lab
