#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "util/QuorExport.h"

// What the media player knows about the open media, from the XML text of its
// media-information indication:
//
//   <mediainfo>
//     <video codec="avc1.640028" width="1280" height="720"/>
//     <audio codec="mp4a.40.2" language="en" channels="2"/>
//     <subtitle language="de"/>
//   </mediainfo>
//
// One list per stream kind, in document order. Unknown elements and
// attributes are ignored.
class QUOR_EXPORT MediaInfo {
public:
    struct VideoStream {
        std::string codec;
        int32_t width = 0;
        int32_t height = 0;
    };
    struct AudioStream {
        std::string codec;
        std::string language;
        int32_t channels = 0;
    };
    struct SubtitleStream {
        std::string language;
    };

    MediaInfo() = default;

    // Replaces the lists with those of xml. False, with empty lists, when
    // the text is not well-formed or its root is not <mediainfo>.
    bool parseXML(std::string const& xml);

    std::vector<VideoStream> const& videoStreams() const { return m_videoStreams; }
    std::vector<AudioStream> const& audioStreams() const { return m_audioStreams; }
    std::vector<SubtitleStream> const& subtitleStreams() const { return m_subtitleStreams; }

private:
    friend class MediaInfoParser;

    std::vector<VideoStream> m_videoStreams;
    std::vector<AudioStream> m_audioStreams;
    std::vector<SubtitleStream> m_subtitleStreams;
};

// "video=[avc1.640028 1280x720] audio=[mp4a.40.2 en 2ch] subtitles=[de]".
QUOR_EXPORT std::ostream& operator<<(std::ostream& out, MediaInfo const& info);
