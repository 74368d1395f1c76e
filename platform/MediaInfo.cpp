#include "platform/MediaInfo.h"

#include <glib.h>

#include <cstdlib>
#include <cstring>

// GMarkup callbacks that fill a MediaInfo.
class MediaInfoParser {
public:
    explicit MediaInfoParser(MediaInfo& info) : m_info(info) {}

    static void StartElement(GMarkupParseContext*, gchar const* element, gchar const** names,
                             gchar const** values, gpointer self, GError** error) {
        static_cast<MediaInfoParser*>(self)->Start(element, names, values, error);
    }
    static void EndElement(GMarkupParseContext*, gchar const*, gpointer self, GError**) {
        --static_cast<MediaInfoParser*>(self)->m_depth;
    }

private:
    static char const* Attribute(gchar const** names, gchar const** values, char const* name) {
        for (; *names != nullptr; ++names, ++values) {
            if (std::strcmp(*names, name) == 0) {
                return *values;
            }
        }
        return "";
    }
    static int32_t Number(char const* text) {
        return static_cast<int32_t>(std::strtol(text, nullptr, 10));
    }

    void Start(gchar const* element, gchar const** names, gchar const** values, GError** error) {
        ++m_depth;
        if (m_depth == 1) {
            if (std::strcmp(element, "mediainfo") != 0) {
                g_set_error(error, G_MARKUP_ERROR, G_MARKUP_ERROR_UNKNOWN_ELEMENT,
                            "root element is <%s>, not <mediainfo>", element);
            }
            return;
        }
        if (m_depth != 2) {
            return;
        }
        if (std::strcmp(element, "video") == 0) {
            m_info.m_videoStreams.push_back({Attribute(names, values, "codec"),
                                             Number(Attribute(names, values, "width")),
                                             Number(Attribute(names, values, "height"))});
        } else if (std::strcmp(element, "audio") == 0) {
            m_info.m_audioStreams.push_back({Attribute(names, values, "codec"),
                                             Attribute(names, values, "language"),
                                             Number(Attribute(names, values, "channels"))});
        } else if (std::strcmp(element, "subtitle") == 0) {
            m_info.m_subtitleStreams.push_back({Attribute(names, values, "language")});
        }
    }

    MediaInfo& m_info;
    int m_depth = 0;
};

bool MediaInfo::parseXML(std::string const& xml) {
    m_videoStreams.clear();
    m_audioStreams.clear();
    m_subtitleStreams.clear();

    GMarkupParser callbacks = {};
    callbacks.start_element = MediaInfoParser::StartElement;
    callbacks.end_element = MediaInfoParser::EndElement;
    MediaInfoParser parser(*this);
    GMarkupParseContext* context =
        g_markup_parse_context_new(&callbacks, G_MARKUP_PREFIX_ERROR_POSITION, &parser, nullptr);
    GError* error = nullptr;
    bool ok = g_markup_parse_context_parse(context, xml.data(), static_cast<gssize>(xml.size()),
                                           &error) &&
              g_markup_parse_context_end_parse(context, &error);
    g_markup_parse_context_free(context);
    if (error != nullptr) {
        g_error_free(error);
    }
    if (!ok) {
        m_videoStreams.clear();
        m_audioStreams.clear();
        m_subtitleStreams.clear();
    }
    return ok;
}

std::ostream& operator<<(std::ostream& out, MediaInfo const& info) {
    out << "video=[";
    char const* separator = "";
    for (auto const& video : info.videoStreams()) {
        out << separator << video.codec << ' ' << video.width << 'x' << video.height;
        separator = ", ";
    }
    out << "] audio=[";
    separator = "";
    for (auto const& audio : info.audioStreams()) {
        out << separator << audio.codec << ' ' << audio.language << ' ' << audio.channels << "ch";
        separator = ", ";
    }
    out << "] subtitles=[";
    separator = "";
    for (auto const& subtitle : info.subtitleStreams()) {
        out << separator << subtitle.language;
        separator = ", ";
    }
    return out << ']';
}
