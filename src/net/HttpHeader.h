#pragma once
#include <string>

namespace lt {

struct HttpHeader {
    std::string name;
    std::string value;
};

// "Name: value" as curl -H takes it, the blanks around the value dropped.
// Raises Error quoting text when it is no header a request may carry: no
// colon, a name that is no HTTP token, no value (curl's "Name:" removes a
// header, which cannot be done here), a control character, or a header the
// engine writes itself.
HttpHeader parseHttpHeader(const std::string& text);

// text as the value of a header set by option: not empty, no control
// characters.
std::string headerValue(const std::string& option, const std::string& text);

} // namespace lt
