#pragma once

#include <QString>

class QMimeData;

namespace vidlatch::platform {

// What a drop onto one of our windows carries, as the windows take it. Only
// the names of what was dragged are looked at: a dropped file is never read.
struct DroppedAddress {
    enum class Kind {
        Refused,  // files, several links, other schemes, nothing usable
        WebLink,  // one http or https link
        Text,     // a text with no link in it
    };
    Kind kind = Kind::Refused;
    QString text;  // the link's address or the text
};

[[nodiscard]] DroppedAddress ReadDrop(const QMimeData* data);

} // namespace vidlatch::platform
