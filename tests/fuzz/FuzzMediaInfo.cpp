// Media information text of any content through the media player's parser,
// then its stream output. A text that fails must leave every list empty.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "platform/MediaInfo.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    MediaInfo info;
    // Filled first, so that a failing text must also clear what was there.
    info.parseXML("<mediainfo><video codec=\"v\" width=\"1\" height=\"2\"/>"
                  "<audio codec=\"a\" language=\"en\" channels=\"2\"/>"
                  "<subtitle language=\"de\"/></mediainfo>");
    bool const parsed = info.parseXML(std::string(reinterpret_cast<char const*>(data), size));
    if (!parsed && (!info.videoStreams().empty() || !info.audioStreams().empty() ||
                    !info.subtitleStreams().empty())) {
        std::abort();
    }
    std::ostringstream out;
    out << info;
    return 0;
}
