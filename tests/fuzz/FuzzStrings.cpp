// Text of any content through the code-page conversions and the trimming
// helpers. Besides what the sanitizers see, a wrong answer aborts: an ISO
// 8859-1 text must come back unchanged from UTF-8, and trimming both ends
// must equal trimming one end after the other.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "util/CStringUtility.h"

namespace {

void Expect(bool holds) {
    if (!holds) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    CStringUtility const& strings = theStringUtility;
    std::string const text(reinterpret_cast<char const*>(data), size);

    std::string const utf8 = strings.ConvertIso8859StringToUtf8String(text, TRACE_NONE);
    std::string const iso = strings.ConvertUtf8StringToIso8859String(text);
    Expect(iso.size() <= CStringUtility::maxIsoOutput);
    std::string const converted =
        text.substr(0, std::min(std::strlen(text.c_str()), CStringUtility::maxIsoInput));
    Expect(strings.ConvertUtf8StringToIso8859String(utf8) == converted);

    Expect(strings.TrimLeftAndRight(text) == strings.TrimLeft(strings.TrimRight(text)));
    std::string inPlace = text;
    strings.RemoveWhitespaceFromString(&inPlace);
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    strings.RemoveWhitespaceFromString(buffer.data());

    if (size >= sizeof(int)) {
        int value;
        std::memcpy(&value, data, sizeof value);
        std::string out;
        for (numBase_t base : {NUM_BASE_DECIMAL, NUM_BASE_OCTAL, NUM_BASE_HEXADECIMAL}) {
            strings.IntToString(value, out, base);
        }
    }
    return 0;
}
