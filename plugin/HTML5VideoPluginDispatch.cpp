// The dispatch table of the service's messages.
#include "plugin/HTML5VideoPlugin.h"

HTML5VideoPlugin::Handler HTML5VideoPlugin::HandlerOf(unsigned long) {
    return nullptr;
}
